#pragma once
// A clip's file on disk: written through a large buffer (one system call per megabyte,
// not per chunk), with the header fields the end fills in written in place.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/ExportFiles.h"
#include "export/IClipSink.h"

class ClipFile : public IClipSink {
 public:
  // Creates `path` (truncating an older file). Throws IOException with the text to show.
  explicit ClipFile(const std::wstring& path);
  ~ClipFile() override;
  ClipFile(const ClipFile&) = delete;
  ClipFile& operator=(const ClipFile&) = delete;

  void Write(const void* data, size_t size) override;
  void WriteAt(int64_t position, const void* data, size_t size) override;
  int64_t Size() const override { return size_; }
  // Writes what the buffer holds and closes; throws IOException when either fails.
  void Close();

 private:
  void Flush();
  [[noreturn]] static void Fail();

  std::unique_ptr<exportfiles::RawFile> file_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  int64_t flushed_ = 0;  // bytes already handed to the system
  int64_t size_ = 0;
};
