#include "playback/PlayTrackBar_win.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kMarkArt = 10030;

// The groove's rows (as the track's pictures draw it) and the band's colours: the accent
// at 35 % over the groove, and the accent itself for the band's edges.
constexpr int kGrooveTop = 6;
constexpr int kGrooveHeight = 4;
constexpr COLORREF kBandColour = RGB(0x1E, 0x52, 0x5F);
constexpr COLORREF kAccent = RGB(0x35, 0xC4, 0xE6);

void Fill(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  if (width <= 0 || height <= 0) return;
  SetDCBrushColor(dc, colour);
  const RECT r = {x, y, x + width, y + height};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

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

void PlayTrackBar::setBand(int32_t first, int32_t last) {
  if (first < 0) first = last = -1;
  if (first == bandFirst_ && last == bandLast_) return;
  bandFirst_ = first;
  bandLast_ = last;
  if (handle() == nullptr) return;
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

std::pair<int, int> PlayTrackBar::bandColumns() const {
  if (bandFirst_ < 0 || !hasPictures()) return {0, -1};
  const int centre = thumbWidth() / 2;
  return {PixelFromValue(bandFirst_) + centre, PixelFromValue(bandLast_) + centre};
}

// Over the groove right of the thumb only: the played part left of it keeps the accent.
void PlayTrackBar::drawBand(HDC dc) const {
  const std::pair<int, int> band = bandColumns();
  if (band.second < band.first) return;
  const int from = std::max(band.first, PixelFromValue(Value()) + thumbWidth() / 2);
  Fill(dc, from, kGrooveTop, band.second - from + 1, kGrooveHeight, kBandColour);
  Fill(dc, band.first, kGrooveTop - 2, 1, kGrooveHeight + 4, kAccent);
  Fill(dc, band.second, kGrooveTop - 2, 1, kGrooveHeight + 4, kAccent);
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
  drawBand(dc);
  for (int x : markColumns()) mark_->DrawAt(dc, x, kMarkTop);
}
