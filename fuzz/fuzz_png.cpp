// PNG decoding of arbitrary bytes. Pictures above a million pixels are refused before
// anything is allocated for them, so one input costs little memory and time.
#include <cstddef>
#include <cstdint>

#include "toolkit/ImageDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ImageDecodingLimits limits;
  limits.maxPixels = int64_t(1) << 20;
  auto image = DecodePngImage(data, size, limits);
  if (image) {
    // Touch every byte, so a short buffer would show.
    volatile uint8_t sum = 0;
    for (int32_t i = 0; i < image->ByteSize(); ++i) sum = uint8_t(sum + image->Pixels()[i]);
    if (image->ByteSize() != image->Width() * image->Height() * 4) __builtin_trap();
  }
  return 0;
}
