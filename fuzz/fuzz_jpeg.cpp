// A recording picture's content through the JPEG rebuild and the decoder.
//
// The first input byte chooses the form: even, the rest is the JPEG data behind a
// correct picture tag (so the fuzzer spends its time in the decoder); odd, the rest is
// the whole content, tag included, as read from a file. Pictures above a million
// pixels and progressive files with more than 500 scans are refused, as libjpeg-turbo's
// own fuzzers do, to bound the memory and time of one input. The first byte's other
// seven bits, when not all zero, are the number of the stop question that says yes, so
// that a decode ended anywhere on the way is fuzzed too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "recording/ArchiveFormat.h"
#include "toolkit/ImageDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const archive::FormatVersion version;
  std::vector<uint8_t> content;
  if ((data[0] & 1) == 0) {
    content.resize(archive::kTagSize);
    content[0] = version.high;
    content[1] = version.low;
    std::memcpy(&content[archive::kSignatureOffset], archive::kSignaturePattern,
                archive::kSignaturePatternSize);
  }
  content.insert(content.end(), data + 1, data + size);
  if (!archive::RebuildJpegStream(content, version)) return 0;

  ImageDecodingLimits limits;
  limits.maxPixels = int64_t(1) << 20;
  limits.maxJpegScans = 500;
  const int stopAt = data[0] >> 1;
  int asked = 0;
  if (stopAt > 0) limits.stop = [&] { return ++asked >= stopAt; };
  auto image = DecodeJpegImage(content.data(), content.size(), limits);
  // Once the answer was yes nothing more is asked, and no picture comes back.
  if (stopAt > 0 && (asked > stopAt || (asked == stopAt && image))) __builtin_trap();
  if (image) {
    volatile uint8_t sum = 0;
    for (int32_t i = 0; i < image->ByteSize(); ++i) sum = uint8_t(sum + image->Pixels()[i]);
    if (image->ByteSize() != image->Width() * image->Height() * 4) __builtin_trap();
  }
  return 0;
}
