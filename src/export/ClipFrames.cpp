#include "export/ClipFrames.h"

#include "export/ClipOverlay.h"
#include "export/ClipTimes.h"
#include "export/ExportFailure.h"
#include "foundation/TextIds.h"
#include "recording/VideoArchive.h"
#include "toolkit/ImageDecoding.h"

namespace {
constexpr int kOverlayQuality = 92;
}

ClipFrames::ClipFrames(VideoArchive& archive, int first, int last, bool overlay)
    : archive_(archive), overlay_(overlay) {
  for (int s = first; s <= last && stored_.empty(); ++s) {
    if (!archive_.ReadFrameJpeg(s, stored_)) stored_.clear();
  }
  if (stored_.empty()) ThrowExportFailure(kTextExportNoPicture);
  const auto image = decoder_.Decode(stored_.data(), stored_.size(), ImageDecodingLimits());
  if (!image) ThrowExportFailure(kTextExportNoPicture);
  width_ = image->Width();
  height_ = image->Height();
  good_ = stored_;
}

const std::vector<uint8_t>& ClipFrames::Of(int slot) {
  if (archive_.ReadFrameJpeg(slot, read_)) stored_.swap(read_);
  if (!overlay_) return stored_;
  auto image = decoder_.Decode(stored_.data(), stored_.size(), ImageDecodingLimits());
  if (image) {
    good_ = stored_;
  } else {
    image = decoder_.Decode(good_.data(), good_.size(), ImageDecodingLimits());
    if (!image) ThrowExportFailure(kTextExportNoPicture);
  }
  const FrameEntry* entry = archive_.Entry(slot);
  clipoverlay::Burn(*image, clipoverlay::BandText(entry ? *entry : FrameEntry(), slot,
                                                  cliptimes::FrameWithinSecond(archive_, slot)));
  encoder_.Encode(*image, kOverlayQuality, encoded_);
  return encoded_;
}
