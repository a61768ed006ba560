#include "toolkit/Image.h"

#include <cstring>
#include <stdexcept>

bool Image::FitsSize(int64_t width, int64_t height) {
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return true;
  // Both sides are below 2^31 here, so the product cannot overflow 64 bits.
  if (width > INT32_MAX || height > INT32_MAX) return false;
  return width * height <= kMaxByteSize / 4;
}

namespace {
int32_t CheckedByteSize(int32_t width, int32_t height) {
  if (!Image::FitsSize(width, height)) throw std::length_error("picture too large");
  return width * height * 4;
}
}  // namespace

Image::Image(int32_t width, int32_t height)
    : width(width), height(height), byteSize(CheckedByteSize(width, height)) {
  pixels.reset(new uint8_t[byteSize > 0 ? byteSize : 1]());
}

Image::Image(int32_t width, int32_t height, std::unique_ptr<uint8_t[]> pixels)
    : width(width), height(height), pixels(std::move(pixels)),
      byteSize(CheckedByteSize(width, height)) {
  if (!this->pixels) this->pixels.reset(new uint8_t[byteSize > 0 ? byteSize : 1]());
}

Image::~Image() = default;

std::unique_ptr<Image> Image::Clone() const {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[byteSize > 0 ? byteSize : 1]);
  if (byteSize > 0) std::memcpy(copy.get(), pixels.get(), size_t(byteSize));
  return std::make_unique<Image>(width, height, std::move(copy));
}
