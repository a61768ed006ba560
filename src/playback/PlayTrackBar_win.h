#pragma once
// The position slider of the console panel: an image track bar that marks, with an "S"
// picture over the track, the frames at which the recorder's switch was pressed.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit/AlphaImage.h"
#include "toolkit/ImageTrackBar_win.h"

class PlayTrackBar : public ImageTrackBar {
 public:
  PlayTrackBar();
  ~PlayTrackBar() override;

  // The frames to mark; repaints when they changed.
  void setEvents(std::vector<int32_t> frames);
  const std::vector<int32_t>& events() const { return events_; }

  // The marked range to draw over the groove, first and last frame; none when `first`
  // is negative. Repaints when it changed.
  void setBand(int32_t first, int32_t last);
  // The columns the band covers as drawn now: from the centre of the thumb at its first
  // frame to that at its last; empty without a band.
  std::pair<int, int> bandColumns() const;

  // The left edges of the marks as drawn now, in the order of the events. A negative
  // frame has none, nor has a frame other than 0 that falls on the track's first pixel:
  // a long recording would otherwise pile the marks of its first frames at the start.
  std::vector<int> markColumns() const;

  static constexpr int kMarkTop = 11;

 protected:
  void DrawTrack(HDC dc, int width, int height) override;

 private:
  void drawBand(HDC dc) const;

  std::vector<int32_t> events_;
  int32_t bandFirst_ = -1;
  int32_t bandLast_ = -1;
  std::unique_ptr<AlphaImage> mark_;
};
