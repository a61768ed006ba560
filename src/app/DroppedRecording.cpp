#include "app/DroppedRecording.h"

#include <cwctype>

#include "foundation/Exception.h"
#include "recording/RecordingEntry.h"
#include "recording/RecordingFiles.h"
#include "recording/ScanFolder.h"

namespace {

bool EndsWithDat(const std::wstring& path) {
  if (path.size() < 4) return false;
  const std::wstring tail = path.substr(path.size() - 4);
  return tail[0] == L'.' && std::towupper(tail[1]) == L'D' && std::towupper(tail[2]) == L'A' &&
         std::towupper(tail[3]) == L'T';
}

// The folder's first recording by start time; nothing when it holds none that the
// scan can read.
std::optional<std::wstring> FirstInFolder(const std::wstring& folder) {
  std::vector<RecordingEntry> list;
  try {
    // The scan lists the folder of the path it is given; the name itself is not read.
    ScanFolder(folder + recfiles::PathSeparator() + L"_", list);
  } catch (const Exception&) {
    return std::nullopt;
  }
  if (list.empty()) return std::nullopt;
  return list.front().path;
}

}  // namespace

std::optional<std::wstring> DroppedRecording(const std::vector<std::wstring>& paths) {
  const wchar_t separator = recfiles::PathSeparator();
  for (std::wstring path : paths) {
    while (path.size() > 1 && path.back() == separator) path.pop_back();
    if (path.empty()) continue;
    std::vector<std::wstring> names;
    if (recfiles::ListFolder(path, names)) {
      if (std::optional<std::wstring> first = FirstInFolder(path)) return first;
      continue;
    }
    if (EndsWithDat(path)) return path;
  }
  return std::nullopt;
}
