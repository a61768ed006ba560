#include "export/ClipSound.h"

#include <algorithm>

#include "export/ExportFailure.h"
#include "foundation/TextIds.h"
#include "recording/RecordingFiles.h"

namespace {
constexpr size_t kWaveHeaderSize = 44;
}

ClipSound::ClipSound(const std::wstring& wavePath) {
  if (wavePath.empty()) return;
  source_ = recfiles::OpenForReading(wavePath);
  uint8_t header[kWaveHeaderSize];
  if (!source_ || source_->ReadAt(0, header, sizeof header) != sizeof header) {
    ThrowExportFailure(kTextExportArchiveUnreadable);
  }
  auto le32 = [&header](size_t at) {
    return uint32_t(header[at]) | uint32_t(header[at + 1]) << 8 | uint32_t(header[at + 2]) << 16 |
           uint32_t(header[at + 3]) << 24;
  };
  rate_ = le32(24);
  count_ = std::min<int64_t>(le32(40), source_->Size() - static_cast<int64_t>(kWaveHeaderSize));
  if (rate_ == 0 || count_ < 0) count_ = 0;
}

int64_t ClipSound::Span(int64_t from, int64_t to) const {
  return std::max<int64_t>(0, std::min(to, count_) - std::max<int64_t>(0, from));
}

void ClipSound::Read(int64_t from, int64_t to, std::vector<uint8_t>& out) const {
  out.resize(static_cast<size_t>(Span(from, to)));
  if (out.empty()) return;
  const int64_t at = static_cast<int64_t>(kWaveHeaderSize) + std::max<int64_t>(0, from);
  if (source_->ReadAt(at, out.data(), out.size()) != out.size()) ThrowExportFailure(kTextExportArchiveUnreadable);
}
