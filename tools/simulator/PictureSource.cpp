#include "PictureSource.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/JpegEncoder.h"

namespace recsim {

PictureSource::PictureSource(const RecordingDescription& d)
    : d_(d), renderer_(d.width, d.height, d.seed, d.detail), quality_(std::max(1, std::min(100, d.jpegQuality))) {}

std::shared_ptr<const std::vector<uint8_t>> PictureSource::Get(int index, const SceneState& scene) {
  if (d_.targetJpegBytes > 0 && !tuned_) Tune(scene);
  if (d_.mode == PictureMode::Fast) {
    const int variant = index % std::max(1, d_.fastVariants);
    auto it = cache_.find(variant);
    if (it != cache_.end()) return it->second;
    auto jpeg = Encode(scene);
    cache_[variant] = jpeg;
    return jpeg;
  }
  return Encode(scene);
}

std::vector<uint8_t> PictureSource::WithCameraPrefix(std::vector<uint8_t> jpeg) {
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[2] != 0xFF || jpeg[3] != 0xE0) return jpeg;
  static const uint8_t kComments[12] = {0xFF, 0xFE, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xFE, 0x00, 0x04, 0x00, 0x00};
  jpeg.insert(jpeg.begin() + 2, kComments, kComments + sizeof kComments);
  return jpeg;
}

std::vector<uint8_t> PictureSource::EncodeAt(int quality) const {
  return WithCameraPrefix(JpegEncoder::Encode(rgb_.data(), d_.width, d_.height, quality));
}

std::shared_ptr<const std::vector<uint8_t>> PictureSource::Encode(const SceneState& scene) {
  renderer_.Render(scene, rgb_);
  for (int q = quality_;; q = std::max(1, q - 10)) {
    auto jpeg = EncodeAt(q);
    // The content (the stream with the tag in place of its first 16 bytes) must fit
    // the ten fragments a picture may use.
    if (static_cast<int64_t>(jpeg.size()) <= archive::kMaxPicturePayload) {
      return std::make_shared<const std::vector<uint8_t>>(std::move(jpeg));
    }
    if (q == 1) throw std::runtime_error("pictures of this size do not fit a recording archive");
  }
}

// Picks the highest quality whose first picture stays within the target size.
void PictureSource::Tune(const SceneState& scene) {
  tuned_ = true;
  renderer_.Render(scene, rgb_);
  int lo = 5, hi = 98;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (static_cast<int>(EncodeAt(mid).size()) <= d_.targetJpegBytes) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  quality_ = lo;
}

}  // namespace recsim
