#include "device/DeviceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/Utf8.h"

namespace {

std::string Native(const std::wstring& path) { return ToUtf8(path); }

bool ChangeWritable(const std::wstring& path, bool writable) {
  struct stat st;
  const std::string p = Native(path);
  if (::stat(p.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  mode = writable ? (mode | S_IWUSR) : (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
  return ::chmod(p.c_str(), mode) == 0;
}

}  // namespace

DeviceFile::~DeviceFile() { Close(); }

bool DeviceFile::OpenForReading(const std::wstring& path) {
  Close();
  const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool DeviceFile::OpenForWriting(const std::wstring& path) {
  Close();
  const int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

size_t DeviceFile::Read(void* buffer, size_t size) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<size_t>(got);
  }
  return total;
}

size_t DeviceFile::Write(const void* buffer, size_t size) {
  if (!IsOpen()) return 0;
  size_t total = 0;
  while (total < size) {
    const ssize_t put =
        ::write(static_cast<int>(handle_), static_cast<const char*>(buffer) + total, size - total);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    total += static_cast<size_t>(put);
  }
  return total;
}

int64_t DeviceFile::Size() {
  struct stat st;
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool DeviceFile::Close() {
  if (!IsOpen()) return true;
  const int r = ::close(static_cast<int>(handle_));
  handle_ = kClosed;
  return r == 0;
}

bool SetNormalAttributes(const std::wstring& path) { return ChangeWritable(path, true); }

bool SetHiddenReadOnly(const std::wstring& path) { return ChangeWritable(path, false); }

bool RemoveDeviceFile(const std::wstring& path) {
  const std::string p = Native(path);
  if (::unlink(p.c_str()) == 0) return true;
  struct stat st;
  return ::lstat(p.c_str(), &st) != 0 && errno == ENOENT;
}

bool QueryHiddenReadOnly(const std::wstring& path, bool& hidden, bool& readOnly) {
  struct stat st;
  if (::stat(Native(path).c_str(), &st) != 0) return false;
  hidden = false;
  readOnly = (st.st_mode & S_IWUSR) == 0;
  return true;
}

int64_t SaveAttributes(const std::wstring& path) {
  struct stat st;
  if (::stat(Native(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mode & 07777);
}

bool RestoreAttributes(const std::wstring& path, int64_t saved) {
  return saved >= 0 && ::chmod(Native(path).c_str(), static_cast<mode_t>(saved)) == 0;
}
