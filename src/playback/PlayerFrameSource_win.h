#pragma once
// The video player as the panels' source of the recording and the frame on screen.
#include "playback/IFrameSource.h"
#include "playback/VideoPlayer_win.h"

class PlayerFrameSource : public IFrameSource {
 public:
  explicit PlayerFrameSource(const VideoPlayer& player) : player_(player) {}
  const IVideoInfo* info() const override { return player_.info(); }
  int32_t currentFrame() const override { return player_.currentFrame(); }
  const MarkedRange* marks() const override { return player_.range().marked() ? &player_.range() : nullptr; }

 private:
  const VideoPlayer& player_;
};
