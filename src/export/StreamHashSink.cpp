#include "export/StreamHashSink.h"

#include <algorithm>
#include <cstring>

StreamHashSink::StreamHashSink(IClipSink& file, std::vector<ClipPatch> predicted)
    : file_(file), original_(std::move(predicted)), sorted_(original_) {
  std::stable_sort(sorted_.begin(), sorted_.end(),
                   [](const ClipPatch& a, const ClipPatch& b) { return a.position < b.position; });
}

void StreamHashSink::Write(const void* data, size_t size) {
  const int64_t start = file_.Size();
  file_.Write(data, size);
  const int64_t end = start + static_cast<int64_t>(size);
  auto endOf = [](const ClipPatch& p) { return p.position + static_cast<int64_t>(p.bytes.size()); };
  while (next_ < sorted_.size() && endOf(sorted_[next_]) <= start) ++next_;
  if (next_ == sorted_.size() || sorted_[next_].position >= end) {
    hash_.Update(data, size);
    return;
  }
  // Some predicted fields lie in these bytes: hash them as they will be.
  const auto* bytes = static_cast<const uint8_t*>(data);
  scratch_.assign(bytes, bytes + size);
  for (size_t i = next_; i < sorted_.size() && sorted_[i].position < end; ++i) {
    const ClipPatch& p = sorted_[i];
    const int64_t from = std::max(start, p.position);
    const int64_t to = std::min(end, endOf(p));
    if (from < to) {
      std::memcpy(scratch_.data() + (from - start), p.bytes.data() + (from - p.position), static_cast<size_t>(to - from));
    }
  }
  hash_.Update(scratch_.data(), scratch_.size());
}

void StreamHashSink::WriteAt(int64_t position, const void* data, size_t size) {
  file_.WriteAt(position, data, size);
  const auto* bytes = static_cast<const uint8_t*>(data);
  actual_.push_back(ClipPatch{position, std::vector<uint8_t>(bytes, bytes + size)});
}
