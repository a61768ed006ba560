// Host counterparts of the export's file edges.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "export/ExportFiles.h"
#include "foundation/Utf8.h"

namespace exportfiles {
namespace {

class FdFile : public RawFile {
 public:
  explicit FdFile(int fd) : fd_(fd) {}
  ~FdFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool WriteAt(int64_t position, const void* data, size_t size) override {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t done = ::pwrite(fd_, bytes, size, static_cast<off_t>(position));
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) return false;
      bytes += done;
      size -= static_cast<size_t>(done);
      position += done;
    }
    return true;
  }
  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<RawFile> Create(const std::wstring& path) {
  const int fd = ::open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  return std::make_unique<FdFile>(fd);
}

bool Rename(const std::wstring& from, const std::wstring& to) {
  return std::rename(ToUtf8(from).c_str(), ToUtf8(to).c_str()) == 0;
}

void Remove(const std::wstring& path) {
  if (!path.empty()) ::unlink(ToUtf8(path).c_str());
}

}  // namespace exportfiles
