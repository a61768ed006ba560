// The Windows edges of writing an export.
#include <windows.h>

#include <climits>

#include "export/ExportFiles.h"

namespace exportfiles {
namespace {

class HandleFile : public RawFile {
 public:
  explicit HandleFile(HANDLE file) : file_(file) {}
  ~HandleFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool WriteAt(int64_t position, const void* data, size_t size) override {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(static_cast<uint64_t>(position));
      at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(position) >> 32);
      const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      DWORD done = 0;
      if (!WriteFile(file_, bytes, piece, &done, &at) || done == 0) return false;
      bytes += done;
      size -= done;
      position += done;
    }
    return true;
  }
  bool Close() override {
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    return CloseHandle(file) != 0;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<RawFile> Create(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<HandleFile>(file);
}

bool Rename(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void Remove(const std::wstring& path) {
  if (!path.empty()) DeleteFileW(path.c_str());
}

}  // namespace exportfiles
