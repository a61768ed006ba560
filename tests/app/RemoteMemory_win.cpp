#include "RemoteMemory_win.h"

RemoteMemory::RemoteMemory(DWORD process, size_t size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process)),
      size_(size) {
  if (process_ == nullptr) return;
  // Committed pages come zeroed.
  address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
  if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_ != nullptr) CloseHandle(process_);
}

bool RemoteMemory::write(const void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  return ok() && offset <= size_ && size <= size_ - offset &&
         WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
}

bool RemoteMemory::read(void* data, size_t size, size_t offset) const {
  SIZE_T done = 0;
  return ok() && offset <= size_ && size <= size_ - offset &&
         ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
}
