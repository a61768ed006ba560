#pragma once
// Encodes a picture into a PNG stream in memory with libpng: 8-bit RGB, no alpha (a
// snapshot is opaque whatever its fourth bytes hold), lossless, so that the file holds
// exactly the pixels the viewer showed.
#include <cstdint>
#include <vector>

class Image;

// An Image (blue, green, red, a fourth byte; rows bottom-up) as a PNG stream. Throws
// std::runtime_error when libpng reports an error (a picture with no pixels is one).
std::vector<uint8_t> EncodePngImage(const Image& image);
