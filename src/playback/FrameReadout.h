#pragma once
// The lines the console shows right of the position slider: which frame is on screen
// and its time to the 1/28 s while the recording is not playing, and the speed,
// direction and loop whenever they are not the usual 1 time forwards.
#include <cstdint>
#include <string>

class IVideoInfo;

namespace readout {

// How many slots before `slot` carry the same second: the frame's place within its
// second, 0 to 27. 0 for a slot without an entry or a time.
int FrameInSecond(const IVideoInfo& info, int32_t slot);

// "#00146 / 00560  17:45:15 06/28", with " 複製" when the timeline filled the slot by
// copying its neighbour; the frame numbers count from 1, as the clock counts seconds.
std::wstring FrameLine(const IVideoInfo& info, int32_t frame);

// "2倍速", "1/8倍速 逆再生", "ループ": empty at 1 time forwards without a loop.
std::wstring SpeedLine(int speedIndex, bool backward, bool loop);

}  // namespace readout
