// The sound file check and the player's arithmetic over arbitrary bytes. An accepted
// file must describe samples that lie inside the input; every chunk span, conversion
// and scaled copy made from it must stay inside the samples.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/SoundArithmetic.h"
#include "playback/WaveHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto header = CheckWaveHeader(data, size, size);
  if (!header) return 0;
  if (header->dataBytes == 0 || header->dataBytes > size - kWaveHeaderBytes) __builtin_trap();
  const uint8_t* samples = data + kWaveHeaderBytes;
  const auto length = static_cast<int32_t>(header->dataBytes);
  const uint32_t chunk = uint32_t(header->format.blockAlign) * header->format.samplesPerSec / 5;

  // The time to start from and the volume come from the samples themselves.
  const int32_t ms = int32_t(uint32_t(samples[0]) * 131 - 2000) * (length > 1 ? samples[length / 2] : 1);
  const int32_t start = BytesFromMs(header->format, length, ms);
  if (start < 0 || start >= length) __builtin_trap();
  if (MsFromBytes(header->format, length, start) < 0) __builtin_trap();

  std::vector<uint8_t> out(chunk);
  int32_t at = start;
  for (int guard = 0; guard < 64; ++guard) {
    const ChunkSpan span = NextChunk(at, length, chunk);
    if (span.length() <= 0) break;
    if (span.start < 0 || span.end >= length || uint32_t(span.length()) > chunk) __builtin_trap();
    ScaleSamples(samples + span.start, out.data(), size_t(span.length()), samples[0] % 20 - 2);
    at = span.end;
  }
  return 0;
}
