#include "app/FileChooser_win.h"

#include <commdlg.h>

#include "app/PathFolder.h"
#include "foundation/PathLimits.h"

namespace {

// The shell view's command for the details view.
constexpr WPARAM kDetailsViewCommand = 0x702C;

void ShowDetails(HWND chooser) {
  const HWND view = FindWindowExW(chooser, nullptr, L"SHELLDLL_DefView", nullptr);
  if (view != nullptr) SendMessageW(view, WM_COMMAND, kDetailsViewCommand, 0);
}

// comdlg32 calls this; nothing may unwind into it.
UINT_PTR CALLBACK ChooserHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  try {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_FOLDERCHANGE) {
      ShowDetails(GetParent(child));
    }
  } catch (...) {
  }
  return 0;
}

}  // namespace

std::wstring ChooserStartFolder(const std::wstring& currentPath) {
  const DWORD attributes = GetFileAttributesW(currentPath.c_str());
  const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return isFile ? FolderPart(currentPath) : currentPath;
}

bool ChooseRecordingFile(HWND owner, const std::wstring& currentPath, std::wstring& chosen) {
  const std::wstring startFolder = ChooserStartFolder(currentPath);
  wchar_t path[kPathUnits] = {};
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = L"画像ファイル(*.dat)\0*.dat\0";
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = static_cast<DWORD>(kPathUnits);
  request.lpstrDefExt = L"dat";
  request.lpstrInitialDir = startFolder.c_str();
  request.Flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                  OFN_EXPLORER | OFN_ENABLESIZING;
  request.lpfnHook = ChooserHook;
  const bool ok = GetOpenFileNameW(&request) != 0;
  chosen = path;
  return ok;
}
