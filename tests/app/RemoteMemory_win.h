#pragma once
// A block of memory inside another process. The control messages that take a pointer
// to a structure (a tree item, a date) are not carried across processes by the system:
// the structure has to live where the control reads and writes it.
#include <windows.h>

#include <cstddef>

class RemoteMemory {
 public:
  // `size` bytes, zeroed, in the process with id `process`; ok() is false when the
  // process cannot be opened or has no room.
  RemoteMemory(DWORD process, size_t size);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return address_ != nullptr; }
  // The block's address as the other process sees it, at `offset` bytes in.
  void* at(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
  LPARAM param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(at(offset)); }
  // Copies between the block and this process; false on a short or failed copy.
  bool write(const void* data, size_t size, size_t offset = 0) const;
  bool read(void* data, size_t size, size_t offset = 0) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_ = 0;
};
