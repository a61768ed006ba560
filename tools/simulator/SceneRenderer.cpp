#include "SceneRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/BitmapFont.h"

namespace recsim {
namespace {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return h;
}

uint8_t Clamp(double v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

void Put(uint8_t* p, double r, double g, double b) {
  p[0] = Clamp(r);
  p[1] = Clamp(g);
  p[2] = Clamp(b);
}

void FillRect(std::vector<uint8_t>& rgb, int width, int height, int x0, int y0, int x1, int y1,
              uint8_t r, uint8_t g, uint8_t b) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width);
  y1 = std::min(y1, height);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = r;
      p[1] = g;
      p[2] = b;
    }
  }
}

}  // namespace

SceneRenderer::SceneRenderer(int width, int height, uint32_t seed, double detail)
    : width_(width), height_(height), seed_(seed), detail_(detail) {
  // The cloud field is periodic across kCloudPeriod columns, drawn once and shifted.
  constexpr double kTurn = 2 * 3.14159265358979323846 / kCloudPeriod;
  clouds_.resize(static_cast<size_t>(kCloudRows) * kCloudPeriod);
  for (int y = 0; y < kCloudRows; ++y) {
    for (int x = 0; x < kCloudPeriod; ++x) {
      const double v = std::sin(x * kTurn * 8 + seed) * std::sin(y * 0.05 + x * kTurn * 3) - 0.35;
      clouds_[static_cast<size_t>(y) * kCloudPeriod + x] = static_cast<uint8_t>(v > 0 ? v * 160 : 0);
    }
  }
}

void SceneRenderer::Render(const SceneState& s, std::vector<uint8_t>& rgb) const {
  const int w = width_;
  const int h = height_;
  rgb.assign(static_cast<size_t>(w) * h * 3, 0);
  const int horizon = h * 5 / 12;
  const double camera = 1.2;           // camera height in metres
  const double focal = h * 0.9;        // pixels per unit of slope
  const double laneHalf = 3.6;         // half the road width in metres
  const double noise = 40.0 * detail_;
  const uint32_t groundShift = static_cast<uint32_t>(s.distanceM * 8.0);

  // Sky: a gradient with slow clouds that drift with the curve and the distance.
  for (int y = 0; y < horizon; ++y) {
    const double t = static_cast<double>(y) / horizon;
    const int shift = static_cast<int>(s.curve * 80.0 + s.distanceM * 0.05);
    const uint8_t* clouds = &clouds_[static_cast<size_t>(std::min(y, kCloudRows - 1)) * kCloudPeriod];
    for (int x = 0; x < w; ++x) {
      const double cloud = clouds[static_cast<unsigned>(x + shift) & (kCloudPeriod - 1)];
      Put(&rgb[(static_cast<size_t>(y) * w + x) * 3], 90 + 80 * t + cloud, 140 + 60 * t + cloud,
          220 + 20 * t + cloud * 0.2);
    }
  }
  // Distant hills.
  for (int x = 0; x < w; ++x) {
    const double hx = x + s.curve * 120.0;
    const int top = horizon - static_cast<int>(18 + 14 * std::sin(hx * 0.011 + seed_ * 0.7) +
                                              8 * std::sin(hx * 0.037));
    for (int y = std::max(top, 0); y < horizon; ++y) {
      Put(&rgb[(static_cast<size_t>(y) * w + x) * 3], 70, 100 + (y - top) * 0.8, 80);
    }
  }
  // Ground and road, row by row in perspective.
  for (int y = horizon; y < h; ++y) {
    const double dy = std::max(1.0, static_cast<double>(y - horizon));
    const double z = camera * focal / dy;               // distance of this row in metres
    const double shift = s.curve * 0.9 * z * z / 20.0;  // the road bends away with distance
    const double centre = w / 2.0 + shift * dy / camera;
    const double half = laneHalf * dy / camera;
    const double dashPhase = std::fmod(z + s.distanceM, 12.0);
    const bool dash = dashPhase < 5.0;
    const uint32_t row = static_cast<uint32_t>(z * 4.0) + groundShift;
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      const double u = (x - centre) / half;  // -1 .. 1 across the road
      const double n = (static_cast<double>(Hash(static_cast<uint32_t>(x), row, seed_) & 0xFF) / 255.0 - 0.5) * noise;
      if (std::fabs(u) <= 1.0) {
        const double shade = 95 - 20.0 * (dy / h) + n;
        Put(p, shade, shade, shade + 4);
        if (std::fabs(std::fabs(u) - 0.94) < 0.025) Put(p, 235, 235, 225);           // edge lines
        if (dash && std::fabs(u) < 0.03) Put(p, 240, 220, 120);                       // centre dashes
      } else {
        const double stripe = std::fmod(z + s.distanceM, 8.0) < 4.0 ? 10 : -10;
        Put(p, 80 + stripe + n, 120 + stripe + n * 1.2, 55 + n * 0.5);
      }
    }
  }
  // Roadside posts every 25 m on both sides.
  const double first = 25.0 - std::fmod(s.distanceM, 25.0);
  for (double zPost = first + 150.0; zPost >= 3.0; zPost -= 25.0) {
    const double dy = camera * focal / zPost;
    const int base = horizon + static_cast<int>(dy);
    if (base >= h + 200) continue;
    const double shift = s.curve * 0.9 * zPost * zPost / 20.0;
    const double centre = w / 2.0 + shift * dy / camera;
    const int postHeight = static_cast<int>(1.0 * dy / camera * 1.0);
    const int postWidth = std::max(1, static_cast<int>(0.12 * dy / camera));
    for (int side = -1; side <= 1; side += 2) {
      const int px = static_cast<int>(centre + side * (laneHalf + 1.0) * dy / camera);
      FillRect(rgb, w, h, px - postWidth / 2, base - postHeight, px + postWidth / 2 + 1, base, 230, 230,
               230);
      FillRect(rgb, w, h, px - postWidth / 2, base - postHeight, px + postWidth / 2 + 1,
               base - postHeight + std::max(1, postHeight / 6), 220, 40, 30);
    }
  }
  // The car ahead: a box on the lane, nearer when braking.
  {
    const double zCar = std::max(6.0, s.leadGapM);
    const double dy = camera * focal / zCar;
    const int base = horizon + static_cast<int>(dy);
    const double shift = s.curve * 0.9 * zCar * zCar / 20.0;
    const double centre = w / 2.0 + shift * dy / camera - 0.3 * laneHalf * dy / camera;
    const int cw = static_cast<int>(1.7 * dy / camera);
    const int ch = static_cast<int>(1.4 * dy / camera);
    const int cx = static_cast<int>(centre);
    FillRect(rgb, w, h, cx - cw / 2, base - ch, cx + cw / 2, base, 150, 30, 40);
    FillRect(rgb, w, h, cx - cw / 2 + cw / 8, base - ch + ch / 8, cx + cw / 2 - cw / 8, base - ch / 2, 60, 70,
             90);
    FillRect(rgb, w, h, cx - cw / 2 + 1, base - ch / 3, cx - cw / 2 + cw / 6, base - ch / 4, 255, 60, 40);
    FillRect(rgb, w, h, cx + cw / 2 - cw / 6, base - ch / 3, cx + cw / 2 - 1, base - ch / 4, 255, 60, 40);
  }
  // Text band: date and time, picture number, speed.
  const int scale = std::max(1, h / 160);
  const int band = (BitmapFont::kGlyphHeight + 4) * scale;
  FillRect(rgb, w, h, 0, h - band, w, h, 0, 0, 0);
  BitmapFont::Draw(rgb.data(), w, h, 2 * scale, h - band + 2 * scale, s.clockText, scale, 255, 255, 255);
  const int frameWidth = BitmapFont::TextWidth(s.frameText, scale);
  BitmapFont::Draw(rgb.data(), w, h, w - frameWidth - 2 * scale, h - band + 2 * scale, s.frameText, scale, 255,
                   230, 0);
  char speed[32];
  std::snprintf(speed, sizeof speed, "%3d km/h", s.speedKmh);
  BitmapFont::Draw(rgb.data(), w, h, 2 * scale, 2 * scale, speed, scale, 255, 255, 255);
  if (s.event) {
    const int ew = BitmapFont::TextWidth("EVENT", scale);
    FillRect(rgb, w, h, w - ew - 4 * scale, 0, w, (BitmapFont::kGlyphHeight + 4) * scale, 200, 0, 0);
    BitmapFont::Draw(rgb.data(), w, h, w - ew - 2 * scale, 2 * scale, "EVENT", scale, 255, 255, 255);
  }
}

}  // namespace recsim
