#include "restore/StagingFolder_win.h"

#include <windows.h>

#include <cwchar>

#include "device/DeviceFile.h"
#include "foundation/Exception.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

// A folder of a name nobody uses yet, inside `parent`; empty when none could be made.
std::wstring MakeFreshFolder(const std::wstring& parent) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[32];
    _snwprintf(name, 32, L"~cab%08lX", static_cast<unsigned long>(GetTickCount() + attempt * 7919u));
    name[31] = 0;
    const std::wstring folder = parent + L"\\" + name;
    if (folder.size() >= kPathUnits) break;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::wstring();
}

bool Move(const std::wstring& from, const std::wstring& to) { return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE; }

}  // namespace

StagingFolder::StagingFolder(const std::wstring& destination) : destination_(destination) {
  root_ = MakeFreshFolder(destination);
  if (!root_.empty()) {
    new_ = root_ + L"\\new";
    old_ = root_ + L"\\old";
    if (CreateDirectoryW(new_.c_str(), nullptr) && CreateDirectoryW(old_.c_str(), nullptr)) return;
    RemoveDirectoryW(new_.c_str());
    RemoveDirectoryW(root_.c_str());
  }
  throw IOException(LoadText(kTextCabinetTargetFile));
}

StagingFolder::~StagingFolder() {
  for (const Entry& e : entries_)
    if (!e.placed) RemoveDeviceFile(e.staged);
  // Each fails, as it should, while a file is still inside.
  RemoveDirectoryW(new_.c_str());
  RemoveDirectoryW(old_.c_str());
  RemoveDirectoryW(root_.c_str());
}

std::wstring StagingFolder::Add(const std::wstring& name) {
  Entry e;
  e.target = destination_ + L"\\" + name;
  e.staged = new_ + L"\\" + name;
  e.aside = old_ + L"\\" + name;
  if (e.target.size() >= kPathUnits || e.staged.size() >= kPathUnits) return std::wstring();
  entries_.push_back(e);
  return e.staged;
}

bool StagingFolder::PlaceAll() {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!Place(entries_[i])) {
      PutBack(i + 1);
      return false;
    }
  }
  for (Entry& e : entries_) {
    if (e.movedAside && RemoveDeviceFile(e.aside)) e.movedAside = false;
  }
  return true;
}

bool StagingFolder::Place(Entry& e) {
  const DWORD existing = GetFileAttributesW(e.target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    // A folder of that name is the user's, not a file to replace.
    if (existing & FILE_ATTRIBUTE_DIRECTORY) return false;
    // A rename keeps the file's attributes, read-only and hidden included.
    if (!Move(e.target, e.aside)) return false;
    e.movedAside = true;
  }
  // Without replacing: whatever appeared there meanwhile is not ours to delete.
  if (!Move(e.staged, e.target)) return false;
  e.placed = true;
  return true;
}

void StagingFolder::PutBack(size_t count) {
  for (size_t i = count; i-- > 0;) {
    Entry& e = entries_[i];
    if (e.placed && Move(e.target, e.staged)) e.placed = false;
    if (e.movedAside && !e.placed && Move(e.aside, e.target)) e.movedAside = false;
  }
}
