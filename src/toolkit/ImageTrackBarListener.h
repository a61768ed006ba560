#pragma once
// What an image track bar tells its owner. One listener may serve several bars: it
// tells them apart by comparing the argument with the bars it owns, and reads the
// bar's value.
class ImageTrackBar;

class ImageTrackBarListener {
 public:
  virtual ~ImageTrackBarListener() = default;
  // The value was set with notification, the 100 ms tick fired while dragging, or the
  // mouse went down or up on the bar.
  virtual void OnTrackChange(ImageTrackBar* bar) = 0;
  // The mouse button went down on the bar.
  virtual void OnTrackBegin(ImageTrackBar* bar) = 0;
  // The mouse button was released after a drag.
  virtual void OnTrackEnd(ImageTrackBar* bar) = 0;
};
