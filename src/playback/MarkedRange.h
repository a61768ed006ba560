#pragma once
// The range of frames a user marks in a recording (its start and its end, each set at
// the frame shown), and whether playback loops. Playback loops over the marked range,
// or over the whole recording when nothing is marked; a start alone reaches to the last
// frame, an end alone from the first.
#include <cstdint>

class MarkedRange {
 public:
  struct Bounds {
    int32_t first = 0;
    int32_t last = 0;
  };

  // Each end set at a frame; an end before the start swaps them.
  void setStart(int32_t frame);
  void setEnd(int32_t frame);
  // Both ends unset; the loop stays as it is.
  void clearMarks();
  void setLoop(bool loop) { loop_ = loop; }

  bool loop() const { return loop_; }
  bool marked() const { return start_ >= 0 || end_ >= 0; }
  // The marked frames of a recording of `count` frames, clamped to it; the whole
  // recording when nothing is marked.
  Bounds bounds(int32_t count) const;

 private:
  int32_t start_ = -1;  // -1: not set
  int32_t end_ = -1;
  bool loop_ = false;
};
