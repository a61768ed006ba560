#pragma once
// Small pictures encoded on the spot with the same libraries the decoders use, so the
// decoder tests control every property of their input.
#include <cstdint>
#include <functional>
#include <vector>

namespace testpictures {

struct Rgb {
  uint8_t r, g, b;
};

// JPEG of width x height. components 3 (colour, from rgbAt), 1 (grey, from rgbAt's r)
// or 4 (CMYK, every ink from rgbAt's r).
struct JpegOptions {
  int components = 3;
  int quality = 95;
  bool progressive = false;
};
std::vector<uint8_t> EncodeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& rgbAt,
                                const JpegOptions& options = JpegOptions());

// PNG from raw samples. `samples` holds, row after row from the top, the samples of each
// pixel (channels as the colour type has them), each a value of bitDepth bits.
struct PngOptions {
  int colorType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<Rgb> palette;
  std::vector<uint8_t> paletteAlpha;  // tRNS for a palette
  std::vector<uint16_t> transparent;  // tRNS for grey (1 value) or RGB (3 values)
};
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint16_t>& samples,
                               const PngOptions& options);

// Puts a chunk's CRC right again after a test changed its bytes; `chunkStart` is the
// offset of the chunk's length field.
void FixPngChunkCrc(std::vector<uint8_t>& png, size_t chunkStart);

// Offset of the first JPEG frame header (SOF0/SOF1/SOF2) marker, or 0.
size_t FindJpegFrameHeader(const std::vector<uint8_t>& jpeg);

// Offsets of every start-of-scan marker, found by walking the marker segments and
// stepping over each scan's entropy-coded data.
std::vector<size_t> FindJpegScans(const std::vector<uint8_t>& jpeg);

// The picture with its last scan repeated until it has `scans` scans in all: what a
// crafted progressive file looks like. The library takes the repeats as a bogus but
// readable progression.
std::vector<uint8_t> WithScanCount(const std::vector<uint8_t>& jpeg, size_t scans);

}  // namespace testpictures
