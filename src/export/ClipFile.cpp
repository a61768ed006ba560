#include "export/ClipFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {
constexpr size_t kBufferSize = size_t(1) << 20;
}

ClipFile::ClipFile(const std::wstring& path) : file_(exportfiles::Create(path)), buffer_(kBufferSize) {
  if (!file_) Fail();
}

ClipFile::~ClipFile() = default;

void ClipFile::Fail() { throw IOException(LoadText(kTextExportWriteFailed)); }

void ClipFile::Flush() {
  if (used_ == 0) return;
  if (!file_ || !file_->WriteAt(flushed_, buffer_.data(), used_)) Fail();
  flushed_ += static_cast<int64_t>(used_);
  used_ = 0;
}

void ClipFile::Write(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_ += static_cast<int64_t>(size);
  if (used_ + size > buffer_.size()) {
    Flush();
    if (size >= buffer_.size()) {
      if (!file_ || !file_->WriteAt(flushed_, bytes, size)) Fail();
      flushed_ += static_cast<int64_t>(size);
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes, size);
  used_ += size;
}

void ClipFile::WriteAt(int64_t position, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  const int64_t end = position + static_cast<int64_t>(size);
  if (position < 0 || end > size_) throw std::out_of_range("write beyond the clip's end");
  // The part already on disk is written there, the rest into the buffer.
  if (position < flushed_) {
    const size_t onDisk = static_cast<size_t>(std::min(end, flushed_) - position);
    if (!file_ || !file_->WriteAt(position, bytes, onDisk)) Fail();
    position += static_cast<int64_t>(onDisk);
    bytes += onDisk;
    size -= onDisk;
  }
  if (size > 0) std::memcpy(buffer_.data() + (position - flushed_), bytes, size);
}

void ClipFile::Close() {
  Flush();
  if (!file_) return;
  const bool closed = file_->Close();
  file_.reset();
  if (!closed) Fail();
}
