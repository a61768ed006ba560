#include "app/FileChooser_win.h"

#include "app/PathFolder.h"

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

RecordingFileChooser::RecordingFileChooser(HWND owner, const std::wstring& currentPath)
    : startFolder_(ChooserStartFolder(currentPath)) {
  request_.lStructSize = sizeof request_;
  request_.hwndOwner = owner;
  request_.lpstrFilter = L"画像ファイル(*.dat)\0*.dat\0";
  request_.nFilterIndex = 1;
  request_.lpstrFile = path_;
  request_.nMaxFile = static_cast<DWORD>(kPathUnits);
  request_.lpstrDefExt = L"dat";
  request_.lpstrInitialDir = startFolder_.c_str();
  request_.Flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                   OFN_EXPLORER | OFN_ENABLESIZING;
  request_.lpfnHook = ChooserHook;
}

bool RecordingFileChooser::run() { return GetOpenFileNameW(&request_) != 0; }

bool ChooseRecordingFile(HWND owner, const std::wstring& currentPath, std::wstring& chosen) {
  RecordingFileChooser chooser(owner, currentPath);
  const bool ok = chooser.run();
  chosen = chooser.path();
  return ok;
}
