#include "export/BackgroundHash.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "export/ExportFailure.h"
#include "export/Sha256.h"
#include "recording/RecordingFiles.h"

namespace {
constexpr size_t kHashPiece = size_t(4) << 20;
}

BackgroundHash::BackgroundHash(const std::wstring& path, unsigned failureText)
    : source_(recfiles::OpenForReading(path)), failureText_(failureText) {
  if (!source_) ThrowExportFailure(failureText_);
  thread_ = std::thread([this] { Run(); });
}

BackgroundHash::~BackgroundHash() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

bool BackgroundHash::Result(IClipProgress* progress, int frames, std::string& hex) {
  while (!done_) {
    if (progress && !progress->Continue(frames, frames)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  thread_.join();
  if (failed_) ThrowExportFailure(failureText_);
  hex = hex_;
  return true;
}

void BackgroundHash::Run() {
  Hash();
  done_ = true;
}

void BackgroundHash::Hash() {
  try {
    Sha256 hash;
    std::vector<uint8_t> piece(kHashPiece);
    for (int64_t at = 0; at < source_->Size() && !stop_;) {
      const size_t want =
          static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(piece.size()), source_->Size() - at));
      if (source_->ReadAt(at, piece.data(), want) != want) {
        failed_ = true;
        return;
      }
      hash.Update(piece.data(), want);
      at += static_cast<int64_t>(want);
    }
    hex_ = Sha256::Hex(hash.Finish());
  } catch (...) {
    // Out of memory for the piece: the export says the archive could not be read.
    failed_ = true;
  }
}
