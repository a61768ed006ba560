#pragma once
// What the information panel and the chart show: the loaded recording's view and the
// frame on screen. The player supplies both in the viewer; tests may supply a view of
// their own to reach values no recording carries.
#include <cstdint>

class IVideoInfo;
class MarkedRange;

class IFrameSource {
 public:
  virtual ~IFrameSource() = default;
  // The loaded recording's view, or null when nothing is loaded.
  virtual const IVideoInfo* info() const = 0;
  virtual int32_t currentFrame() const = 0;
  // The marked range of the recording, or null when nothing is marked.
  virtual const MarkedRange* marks() const { return nullptr; }
};
