#include "playback/ShownPicture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "playback/ZoomView.h"
#include "toolkit/GammaCorrection.h"
#include "toolkit/Image.h"

namespace {

// For each of `length` target pixels, the source pixel whose magnified span covers its
// centre: `to` is where the source run `from` lands, as the window draws it.
std::vector<int32_t> NearestSources(int32_t length, int32_t fromStart, int32_t fromLength, int32_t toStart,
                                    int32_t toLength) {
  std::vector<int32_t> sources(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i) {
    const double at = (i + 0.5 - toStart) * fromLength / toLength;
    const int32_t offset = std::clamp(static_cast<int32_t>(at), 0, fromLength - 1);
    sources[static_cast<size_t>(i)] = fromStart + offset;
  }
  return sources;
}

}  // namespace

std::unique_ptr<Image> ShownPicture(const Image& picture, const GammaCorrection& gamma, const ZoomView& zoom) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  auto shown = std::make_unique<Image>(width, height);
  if (width == 0 || height == 0) return shown;
  const ZoomView::Rect part = zoom.sourceRect(width, height);
  const ZoomView::Rect to = zoom.destinationRect(part, width, height, {0, 0, width, height});
  const std::vector<int32_t> columns = NearestSources(width, part.x, part.width, to.x, to.width);
  const std::vector<int32_t> rows = NearestSources(height, part.y, part.height, to.y, to.height);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  // Rows are counted from the top and stored bottom-up.
  for (int32_t y = 0; y < height; ++y) {
    const int32_t sourceRow = rows[static_cast<size_t>(y)];
    const uint8_t* from = picture.Pixels() + static_cast<size_t>(height - 1 - sourceRow) * rowBytes;
    uint8_t* target = shown->Pixels() + static_cast<size_t>(height - 1 - y) * rowBytes;
    for (size_t x = 0; x < columns.size(); ++x) {
      std::memcpy(target + x * 4, from + static_cast<size_t>(columns[x]) * 4, 4);
    }
    gamma.CorrectPixels(target, target, static_cast<size_t>(width));
  }
  return shown;
}
