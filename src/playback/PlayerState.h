#pragma once
// What the video player is doing, as the panels show it.
#include <cstdint>

enum class PlayerState : int32_t {
  NoRecording = 0,
  Playing = 1,
  Paused = 2,   // after loading, seeking and reaching the end
  Stopped = 3,  // the play/pause button interrupted playing
};
