#pragma once
// The position slider of the console panel: an image track bar that marks, with an "S"
// picture over the track, the frames at which the recorder's switch was pressed.
#include <windows.h>

#include <cstdint>
#include <memory>
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

  // The left edges of the marks as drawn now, in the order of the events. A negative
  // frame has none, nor has a frame other than 0 that falls on the track's first pixel:
  // a long recording would otherwise pile the marks of its first frames at the start.
  std::vector<int> markColumns() const;

  static constexpr int kMarkTop = 11;

 protected:
  void DrawTrack(HDC dc, int width, int height) override;

 private:
  std::vector<int32_t> events_;
  std::unique_ptr<AlphaImage> mark_;
};
