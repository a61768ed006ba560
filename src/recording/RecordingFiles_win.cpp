// The Windows edges of reading recordings: shared-read archive files, the temporary
// WAVE file, the sound warning, message pumping and folder listing.
#include <windows.h>

#include <io.h>
#include <share.h>

#include <atomic>
#include <climits>
#include <cstdio>

#include "recording/RecordingFiles.h"

namespace recfiles {
namespace {

std::atomic<uint64_t> g_readCalls{0};

class FileSource : public IByteSource {
 public:
  FileSource(FILE* file, int64_t size) : file_(file), size_(size) {}
  ~FileSource() override { std::fclose(file_); }
  size_t ReadAt(int64_t position, void* buffer, size_t size) override {
    if (position < 0 || _fseeki64(file_, position, SEEK_SET) != 0) return 0;
    ++g_readCalls;
    return std::fread(buffer, 1, size, file_);
  }
  int64_t Size() const override { return size_; }

 private:
  FILE* file_;
  int64_t size_;
};

class FileSink : public IByteSink {
 public:
  explicit FileSink(FILE* file) : file_(file) { std::setvbuf(file_, nullptr, _IOFBF, 1 << 16); }
  ~FileSink() override { std::fclose(file_); }
  bool Write(const void* data, size_t size) override {
    return std::fwrite(data, 1, size, file_) == size;
  }
  bool Rewind() override { return _fseeki64(file_, 0, SEEK_SET) == 0; }
  bool EndHere() override {
    const int64_t at = _ftelli64(file_);
    return at >= 0 && std::fflush(file_) == 0 && _chsize_s(_fileno(file_), at) == 0;
  }

 private:
  FILE* file_;
};

// The file system's own comparison of names, from Windows Vista on; named at run time,
// as the program also runs on Windows XP.
using CompareOrdinal = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);

CompareOrdinal SystemCompareOrdinal() {
  static const CompareOrdinal compare = [] {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "CompareStringOrdinal") : nullptr;
    return reinterpret_cast<CompareOrdinal>(reinterpret_cast<void (*)()>(found));
  }();
  return compare;
}

// Before Vista: the names upper-cased by the system's table, as the file system does.
std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

struct FindHandle {
  HANDLE handle;
  ~FindHandle() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};

}  // namespace

std::unique_ptr<IByteSource> OpenForReading(const std::wstring& path) {
  FILE* file = _wfsopen(path.c_str(), L"rb", _SH_DENYNO);
  if (!file) return nullptr;
  // Reads go straight to the system: the callers already read in large pieces.
  std::setvbuf(file, nullptr, _IONBF, 0);
  int64_t size = 0;
  if (_fseeki64(file, 0, SEEK_END) == 0) size = _ftelli64(file);
  if (size < 0 || _fseeki64(file, 0, SEEK_SET) != 0) size = 0;
  return std::make_unique<FileSource>(file, size);
}

uint64_t ReadCallCount() { return g_readCalls.load(); }

bool CreateTempFile(std::wstring& path) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t name[MAX_PATH] = {};
  const DWORD length = GetTempPathW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return false;
  if (GetTempFileNameW(folder, L"obv", 0, name) == 0) return false;
  path = name;
  return true;
}

std::unique_ptr<IByteSink> OpenForWriting(const std::wstring& path) {
  FILE* file = _wfsopen(path.c_str(), L"wb", _SH_DENYRW);
  if (!file) return nullptr;
  return std::make_unique<FileSink>(file);
}

void DeleteQuietly(const std::wstring& path) {
  if (!path.empty()) DeleteFileW(path.c_str());
}

bool ListFolder(const std::wstring& folder, std::vector<std::wstring>& names) {
  WIN32_FIND_DATAW data;
  FindHandle find{FindFirstFileW((folder + L"\\*").c_str(), &data)};
  if (find.handle == INVALID_HANDLE_VALUE) return false;
  do {
    names.emplace_back(data.cFileName);
  } while (FindNextFileW(find.handle, &data));
  return true;
}

wchar_t PathSeparator() { return L'\\'; }

bool SamePath(const std::wstring& a, const std::wstring& b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  const int aLength = static_cast<int>(a.size());
  const int bLength = static_cast<int>(b.size());
  if (const CompareOrdinal compare = SystemCompareOrdinal()) {
    return compare(a.c_str(), aLength, b.c_str(), bLength, TRUE) == CSTR_EQUAL;
  }
  return aLength == bLength && Upper(a) == Upper(b);
}

}  // namespace recfiles
