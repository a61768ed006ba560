// Host counterparts of the file edges, so that the portable reader runs under the
// sanitizers with real files.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/Utf8.h"
#include "recording/RecordingFiles.h"

namespace recfiles {
namespace {

std::atomic<uint64_t> g_readCalls{0};

class FdSource : public IByteSource {
 public:
  FdSource(int fd, int64_t size) : fd_(fd), size_(size) {}
  ~FdSource() override { ::close(fd_); }
  size_t ReadAt(int64_t position, void* buffer, size_t size) override {
    if (position < 0) return 0;
    size_t done = 0;
    while (done < size) {
      ++g_readCalls;
      const ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                                  static_cast<off_t>(position + static_cast<int64_t>(done)));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    return done;
  }
  int64_t Size() const override { return size_; }

 private:
  int fd_;
  int64_t size_;
};

class FileSink : public IByteSink {
 public:
  explicit FileSink(FILE* file) : file_(file) { std::setvbuf(file_, nullptr, _IOFBF, 1 << 16); }
  ~FileSink() override { std::fclose(file_); }
  bool Write(const void* data, size_t size) override {
    return std::fwrite(data, 1, size, file_) == size;
  }
  bool Rewind() override { return std::fseek(file_, 0, SEEK_SET) == 0; }
  bool EndHere() override {
    const off_t at = ftello(file_);
    return at >= 0 && std::fflush(file_) == 0 && ftruncate(fileno(file_), at) == 0;
  }

 private:
  FILE* file_;
};

}  // namespace

std::unique_ptr<IByteSource> OpenForReading(const std::wstring& path) {
  const int fd = ::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return nullptr;
  }
  // A folder opens on this system but reads nothing: it counts as an empty file.
  const int64_t size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
  return std::make_unique<FdSource>(fd, size);
}

uint64_t ReadCallCount() { return g_readCalls.load(); }

bool CreateTempFile(std::wstring& path) {
  const char* dir = std::getenv("TMPDIR");
  std::string name = std::string(dir && *dir ? dir : "/tmp") + "/obvXXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  path = FromUtf8(name);
  return true;
}

std::unique_ptr<IByteSink> OpenForWriting(const std::wstring& path) {
  FILE* file = std::fopen(ToUtf8(path).c_str(), "wb");
  if (!file) return nullptr;
  return std::make_unique<FileSink>(file);
}

void DeleteQuietly(const std::wstring& path) {
  if (!path.empty()) ::unlink(ToUtf8(path).c_str());
}

bool ListFolder(const std::wstring& folder, std::vector<std::wstring>& names) {
  DIR* dir = ::opendir(folder.empty() ? "/" : ToUtf8(folder).c_str());
  if (!dir) return false;
  while (const dirent* entry = ::readdir(dir)) names.push_back(FromUtf8(entry->d_name));
  ::closedir(dir);
  return true;
}

wchar_t PathSeparator() { return L'/'; }

bool SamePath(const std::wstring& a, const std::wstring& b) { return a == b; }

}  // namespace recfiles
