#include "device/DeviceFile.h"

#include <windows.h>

namespace {
HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

DeviceFile::~DeviceFile() { Close(); }

bool DeviceFile::OpenForReading(const std::wstring& path) {
  Close();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

bool DeviceFile::OpenForWriting(const std::wstring& path) {
  Close();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

size_t DeviceFile::Read(void* buffer, size_t size) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  while (total < size) {
    const DWORD chunk = static_cast<DWORD>(size - total > 0x10000000 ? 0x10000000 : size - total);
    DWORD got = 0;
    if (!ReadFile(H(handle_), static_cast<char*>(buffer) + total, chunk, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}

size_t DeviceFile::Write(const void* buffer, size_t size) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  while (total < size) {
    const DWORD chunk = static_cast<DWORD>(size - total > 0x10000000 ? 0x10000000 : size - total);
    DWORD put = 0;
    if (!WriteFile(H(handle_), static_cast<const char*>(buffer) + total, chunk, &put, nullptr) || put == 0)
      break;
    total += put;
  }
  return total;
}

int64_t DeviceFile::Size() {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(H(handle_), &size)) return -1;
  return size.QuadPart;
}

bool DeviceFile::Close() {
  if (!IsOpen()) return true;
  const BOOL ok = CloseHandle(H(handle_));
  handle_ = kClosed;
  return ok != FALSE;
}

bool SetNormalAttributes(const std::wstring& path) {
  return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool SetHiddenReadOnly(const std::wstring& path) {
  // Hidden first: once the file is read-only, a process without the right to override
  // that (anyone but the superuser under Wine) can no longer record the hidden mark.
  const BOOL hidden = SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  const BOOL both = SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  return hidden && both;
}

bool RemoveDeviceFile(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileW(path.c_str())) return true;
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool QueryHiddenReadOnly(const std::wstring& path, bool& hidden, bool& readOnly) {
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  readOnly = (a & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

int64_t SaveAttributes(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<int64_t>(a);
}

bool RestoreAttributes(const std::wstring& path, int64_t saved) {
  if (saved < 0) return false;
  // Read-only last, for the reason SetHiddenReadOnly gives.
  const DWORD all = static_cast<DWORD>(saved);
  const DWORD writable = all & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  const BOOL first = SetFileAttributesW(path.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL);
  return first && SetFileAttributesW(path.c_str(), all != 0 ? all : FILE_ATTRIBUTE_NORMAL);
}
