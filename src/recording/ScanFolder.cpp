#include "recording/ScanFolder.h"

#include <algorithm>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ArchiveFormat.h"
#include "recording/RecordingFiles.h"

namespace {

[[noreturn]] void ThrowUnreadable() { throw VideoArchiveException(LoadText(kTextDataUnreadable)); }

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

bool IsRecordingFileName(const std::wstring& name) {
  if (name.size() != 12) return false;
  for (int i : {0, 1, 2, 3, 5, 6, 7})
    if (!IsDigit(name[static_cast<size_t>(i)])) return false;
  return name[4] == L'_' && name[8] == L'.' && Upper(name[9]) == L'D' && Upper(name[10]) == L'A' &&
         Upper(name[11]) == L'T';
}

FolderScanResult ScanFolder(const std::wstring& path, std::vector<RecordingEntry>& list) {
  const wchar_t separator = recfiles::PathSeparator();
  const size_t cut = path.rfind(separator);
  const std::wstring folder = cut == std::wstring::npos ? path : path.substr(0, cut);

  std::vector<std::wstring> names;
  if (!recfiles::ListFolder(folder, names)) ThrowUnreadable();

  std::vector<RecordingEntry> found;
  for (const std::wstring& name : names) {
    if (!IsRecordingFileName(name)) continue;
    RecordingEntry entry;
    entry.path = folder + separator + name;
    const auto file = recfiles::OpenForReading(entry.path);
    if (!file) ThrowUnreadable();
    uint8_t head[8];
    if (file->ReadAt(0, head, sizeof head) < sizeof head) ThrowUnreadable();
    entry.startTime = CalendarTimeOrZero(archive::DecodeBcdDateTime(head + 2));
    found.push_back(std::move(entry));
  }

  // Equal start times (every invalid date among them) keep the listing's order.
  std::stable_sort(found.begin(), found.end(), [](const RecordingEntry& a, const RecordingEntry& b) {
    return a.startTime < b.startTime;
  });

  list.clear();
  FolderScanResult result;
  for (const RecordingEntry& entry : found) {
    if (recfiles::SamePath(entry.path, path)) result.position = static_cast<int>(list.size());
    list.push_back(entry);
  }
  result.count = static_cast<int>(list.size());
  if (list.empty()) ThrowUnreadable();
  return result;
}
