#pragma once
// The file chooser for recording archives.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "foundation/PathLimits.h"

// Where the chooser starts for `currentPath`: its folder when it names an existing file
// (the recording opened last), the path itself otherwise (a folder).
std::wstring ChooserStartFolder(const std::wstring& currentPath);

// The system's open-file dialog for "*.dat" files, owned by `owner`, starting in
// ChooserStartFolder(currentPath); every folder it shows is listed in the details view.
// The object holds the texts the request points to, so it stays where it was made.
class RecordingFileChooser {
 public:
  RecordingFileChooser(HWND owner, const std::wstring& currentPath);
  RecordingFileChooser(const RecordingFileChooser&) = delete;
  RecordingFileChooser& operator=(const RecordingFileChooser&) = delete;

  // Runs the dialog; true when the user chose a file.
  bool run();
  // The path buffer as the dialog left it (empty when nothing was chosen).
  std::wstring path() const { return path_; }
  const OPENFILENAMEW& request() const { return request_; }

 private:
  std::wstring startFolder_;
  wchar_t path_[kPathUnits] = {};
  OPENFILENAMEW request_{};
};

// Runs a RecordingFileChooser; true when the user chose a file, whose path `chosen`
// then holds.
bool ChooseRecordingFile(HWND owner, const std::wstring& currentPath, std::wstring& chosen);
