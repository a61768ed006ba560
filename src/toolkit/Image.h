#pragma once
// One decoded picture in memory: 4 bytes a pixel in the order blue, green, red and a
// fourth byte (0xFF for a JPEG picture, a PNG's alpha, 0 in a new blank one), rows
// stored bottom-up (the first row in the buffer is the bottom row of the picture),
// exactly as a bottom-up 32-bit DIB expects. A row is width * 4 bytes, so rows carry no
// filler.
#include <cstddef>
#include <cstdint>
#include <memory>

class Image {
 public:
  // The largest picture an Image can hold: byteSize is a 32-bit signed count.
  static constexpr int64_t kMaxByteSize = INT32_MAX;

  // A picture of width x height pixels, every byte 0. Throws std::length_error when a
  // side is negative or the buffer would not fit kMaxByteSize, std::bad_alloc when
  // memory runs out.
  Image(int32_t width, int32_t height);
  // Takes over a buffer that the caller filled; it must hold width * height * 4 bytes.
  Image(int32_t width, int32_t height, std::unique_ptr<uint8_t[]> pixels);
  virtual ~Image();

  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  // True when a picture of width x height fits an Image (sides >= 0, bytes within
  // kMaxByteSize).
  static bool FitsSize(int64_t width, int64_t height);

  int32_t Width() const { return width; }
  int32_t Height() const { return height; }
  int32_t ByteSize() const { return byteSize; }
  uint8_t* Pixels() { return pixels.get(); }
  const uint8_t* Pixels() const { return pixels.get(); }

  // A deep copy: its own buffer with the same size and bytes.
  std::unique_ptr<Image> Clone() const;

  // A pixel buffer of `bytes` bytes (at least 1), contents undefined, for handing to the
  // constructor above. Large buffers of pictures deleted earlier are reused: a player
  // decodes and drops 28 same-sized pictures a second, and a fresh picture-sized block
  // is a new mapping for the system whose every page faults on first touch.
  static std::unique_ptr<uint8_t[]> AllocatePixels(size_t bytes);

  // What the reuse pool holds now: buffers kept and their bytes.
  struct PoolUsage {
    size_t buffers;
    size_t bytes;
  };
  static PoolUsage PooledPixels();

 private:
  int32_t width;
  int32_t height;
  std::unique_ptr<uint8_t[]> pixels;
  int32_t byteSize;
};
