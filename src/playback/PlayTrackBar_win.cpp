#include "playback/PlayTrackBar_win.h"

#include <utility>

namespace {

constexpr int kMarkArt = 10030;

}  // namespace

PlayTrackBar::PlayTrackBar() : mark_(std::make_unique<AlphaImage>(kMarkArt)) {}

PlayTrackBar::~PlayTrackBar() = default;

void PlayTrackBar::setEvents(std::vector<int32_t> frames) {
  if (frames == events_) return;
  events_ = std::move(frames);
  if (handle() == nullptr) return;
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

std::vector<int> PlayTrackBar::markColumns() const {
  std::vector<int> columns;
  // The mark is centred under the thumb's centre, two pixels to the right.
  const int shift = -mark_->Width() / 2 + 2;
  for (int32_t frame : events_) {
    if (frame < 0) continue;
    const int pixel = PixelFromValue(frame);
    if (pixel == 0 && frame != 0) continue;
    const int thumbCentre = hasPictures() ? pixel + thumbWidth() / 2 : 0;
    columns.push_back(thumbCentre + shift);
  }
  return columns;
}

void PlayTrackBar::DrawTrack(HDC dc, int width, int height) {
  ImageTrackBar::DrawTrack(dc, width, height);
  for (int x : markColumns()) mark_->DrawAt(dc, x, kMarkTop);
}
