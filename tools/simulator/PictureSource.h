#pragma once
// Makes the JPEG stream of each picture of a simulated recording: draws the scene,
// encodes it, and shapes the stream the way the recorder's camera writes it.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "RecorderSimulator.h"
#include "SceneRenderer.h"

namespace recsim {

class PictureSource {
 public:
  explicit PictureSource(const RecordingDescription& description);

  // The complete JPEG stream of picture `index` showing `scene`. In fast mode a few
  // streams are made once and handed out in turn. Throws std::runtime_error when even
  // the lowest quality does not fit the ten fragments a picture may use.
  std::shared_ptr<const std::vector<uint8_t>> Get(int index, const SceneState& scene);

  // The camera's streams begin with two empty comment segments between the start of
  // image and the JFIF segment, so their first 16 bytes are exactly the prefix the
  // reader puts back in place of the picture tag. Inserts them into a stream from
  // libjpeg (which starts FF D8 FF E0); other streams are returned unchanged.
  static std::vector<uint8_t> WithCameraPrefix(std::vector<uint8_t> jpeg);

  int quality() const { return quality_; }

 private:
  std::shared_ptr<const std::vector<uint8_t>> Encode(const SceneState& scene);
  std::vector<uint8_t> EncodeAt(int quality) const;
  void Tune(const SceneState& scene);

  const RecordingDescription& d_;
  SceneRenderer renderer_;
  std::vector<uint8_t> rgb_;
  int quality_;
  bool tuned_ = false;
  std::map<int, std::shared_ptr<const std::vector<uint8_t>>> cache_;
};

}  // namespace recsim
