#include "app/SaveChooser_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "app/PathFolder.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

TextId TypeText(SaveChooser::Kind kind) {
  switch (kind) {
    case SaveChooser::Kind::Clip:
      return kTextSaveTypeClip;
    case SaveChooser::Kind::Jpeg:
      return kTextSaveTypeJpeg;
    case SaveChooser::Kind::Png:
      break;
  }
  return kTextSaveTypePng;
}

const wchar_t* Extension(SaveChooser::Kind kind) {
  switch (kind) {
    case SaveChooser::Kind::Clip:
      return L"avi";
    case SaveChooser::Kind::Jpeg:
      return L"jpg";
    case SaveChooser::Kind::Png:
      break;
  }
  return L"png";
}

// "NAME|PATTERN" as the dialog's filter: the parts ended by NULs, the list by two.
std::wstring Filter(TextId text) {
  std::wstring filter = LoadText(text);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  return filter;
}

}  // namespace

std::wstring PicturesFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return folder;
}

std::wstring SaveChooser::startFolder() const { return lastFolder_.empty() ? PicturesFolder() : lastFolder_; }

bool SaveChooser::choose(HWND owner, Kind kind, const std::wstring& name, std::wstring& chosen) {
  wchar_t path[kPathUnits] = {};
  name.copy(path, std::min(name.size(), kPathUnits - 1));
  const std::wstring filter = Filter(TypeText(kind));
  const std::wstring start = startFolder();
  OPENFILENAMEW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = static_cast<DWORD>(kPathUnits);
  request.lpstrDefExt = Extension(kind);
  request.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                  OFN_ENABLESIZING;
  if (!GetSaveFileNameW(&request)) return false;
  chosen = path;
  lastFolder_ = FolderPart(chosen);
  return true;
}
