#pragma once
// Raw byte access to a file on the memory card, and the file attributes the device
// files carry there. Reading and writing share nothing exclusively, as the recorder's
// card may be open in other programs (an explorer window, another viewer).
#include <cstddef>
#include <cstdint>
#include <string>

class DeviceFile {
 public:
  DeviceFile() = default;
  ~DeviceFile();
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;

  bool OpenForReading(const std::wstring& path);
  // Creates the file or truncates an existing one.
  bool OpenForWriting(const std::wstring& path);
  bool IsOpen() const { return handle_ != kClosed; }
  // Bytes actually transferred; fewer than asked at the end of the file or on failure.
  size_t Read(void* buffer, size_t size);
  size_t Write(const void* buffer, size_t size);
  // The file's size, or -1 when it cannot be taken.
  int64_t Size();
  // False when closing failed (data may not have reached the card).
  bool Close();

 private:
  static constexpr intptr_t kClosed = -1;
  intptr_t handle_ = kClosed;
};

// The attribute states of the device files. On Windows these are the file attributes
// (normal; hidden and read-only); elsewhere read-only is the owner's write permission and
// hidden does not exist.
bool SetNormalAttributes(const std::wstring& path);
bool SetHiddenReadOnly(const std::wstring& path);
// Attributes normal, then delete. False when the file is still there afterwards.
bool RemoveDeviceFile(const std::wstring& path);
// The current state, for checks and for tools. False when the file cannot be reached.
bool QueryHiddenReadOnly(const std::wstring& path, bool& hidden, bool& readOnly);
// The file's attributes as they stand, in the system's own terms (-1 when the file
// cannot be reached), and putting them back exactly after a change that came to nothing.
int64_t SaveAttributes(const std::wstring& path);
bool RestoreAttributes(const std::wstring& path, int64_t saved);
