#pragma once
// The picture as the player shows it, for the snapshot commands: the brightness table
// applied, and when zoomed the part in view magnified to fill the picture's own size as
// it fills the player's window. The size stays the picture's, so that a snapshot of the
// whole picture holds its pixels one for one.
#include <memory>

class GammaCorrection;
class Image;
class ZoomView;

// A new picture of `picture`'s size; `picture` is left alone. Magnified pixels are
// repeated (the nearest source pixel), not blended.
std::unique_ptr<Image> ShownPicture(const Image& picture, const GammaCorrection& gamma, const ZoomView& zoom);
