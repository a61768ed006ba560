#pragma once
// The band burned into the bottom of an exported picture: date and time to the frame,
// the frame number, the speed and the combined G, in the built-in bitmap font on a
// darkened strip, so that the same picture gets the same pixels on every system.
#include <string>

#include "recording/FrameEntry.h"

class Image;

namespace clipoverlay {

// "YYYY-MM-DD HH:MM:SS FF/28  #SLOT  SPEED km/h  G.GG G".
std::string BandText(const FrameEntry& entry, int slot, int frameWithinSecond);

// Darkens the bottom strip of `image` and writes `text` into it; the font grows with
// the picture's height (twice its size at 480 lines).
void Burn(Image& image, const std::string& text);

}  // namespace clipoverlay
