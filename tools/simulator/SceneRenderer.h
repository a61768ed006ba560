#pragma once
// Draws the synthetic road scene of one simulated picture: sky, fields, a road with
// moving lane marks and roadside posts, a car ahead, and a text band with the picture's
// date, time and number burned in.
#include <cstdint>
#include <string>
#include <vector>

namespace recsim {

struct SceneState {
  double distanceM = 0;   // distance travelled since the start; moves marks and posts
  double curve = 0;       // -1 (left) .. 1 (right): bends the road
  double leadGapM = 30;   // distance to the car ahead
  int speedKmh = 0;
  bool event = false;     // an "EVENT" mark is drawn
  std::string clockText;  // e.g. "2009/06/14 09:30:01.035"
  std::string frameText;  // e.g. "#00012"
};

class SceneRenderer {
 public:
  // `detail` 0..1 scales the texture of road and fields (more detail, larger JPEGs).
  SceneRenderer(int width, int height, uint32_t seed, double detail = 0.5);

  // Draws into `rgb` (resized to width × height × 3, rows top-down).
  void Render(const SceneState& state, std::vector<uint8_t>& rgb) const;

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  uint32_t seed_;
  double detail_;
  static constexpr int kCloudPeriod = 4096;  // a power of two: shifts wrap with a mask
  static constexpr int kCloudRows = 256;
  std::vector<uint8_t> clouds_;
};

}  // namespace recsim
