#include "export/ClipOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "export/ClipTimes.h"
#include "toolkit/BitmapFont.h"
#include "toolkit/Image.h"

namespace clipoverlay {

std::string BandText(const FrameEntry& entry, int slot, int frameWithinSecond) {
  // Hundredths by integer arithmetic: every C library prints them alike.
  const long long g = std::llround(std::max(0.0, entry.gTotal) * 100.0);
  char tail[96];
  std::snprintf(tail, sizeof tail, " %02d/%d  #%d  %d km/h  %lld.%02lld G", frameWithinSecond,
                cliptimes::kSlotsPerSecond, slot, entry.speed, g / 100, g % 100);
  return cliptimes::LocalText(entry.time) + tail;
}

void Burn(Image& image, const std::string& text) {
  const int width = image.Width();
  const int height = image.Height();
  const int scale = std::max(1, height / 240);
  const int band = std::min(height, (BitmapFont::kGlyphHeight + 4) * scale);
  // The band's rows are the first `band` rows of the bottom-up buffer.
  uint8_t* p = image.Pixels();
  const size_t bytes = static_cast<size_t>(band) * static_cast<size_t>(width) * 4;
  for (size_t i = 0; i < bytes; i += 4) {
    p[i] = static_cast<uint8_t>(p[i] >> 2);
    p[i + 1] = static_cast<uint8_t>(p[i + 1] >> 2);
    p[i + 2] = static_cast<uint8_t>(p[i + 2] >> 2);
  }
  BitmapFont::Draw(image, 2 * scale, height - band + 2 * scale, text, scale, 255, 255, 255);
}

}  // namespace clipoverlay
