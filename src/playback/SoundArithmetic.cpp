#include "playback/SoundArithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "playback/ISoundPlayer.h"

int32_t BytesFromMs(const WaveFormat& format, int32_t sampleBytes, int32_t ms) {
  const uint32_t byteRate = static_cast<uint32_t>(format.blockAlign) * format.samplesPerSec;
  const int64_t value = static_cast<int64_t>(std::trunc(byteRate * static_cast<double>(ms) / 1000.0));
  const int64_t last = static_cast<int64_t>(sampleBytes) - 1;
  const int64_t clamped = std::min(value, last);
  return clamped < 0 ? 0 : static_cast<int32_t>(clamped);
}

int32_t MsFromBytes(const WaveFormat& format, int32_t sampleBytes, int32_t bytes) {
  const int32_t last = sampleBytes - 1;
  int32_t b = std::min(bytes, last);
  if (b < 0) b = 0;
  if (format.blockAlign == 0 || format.samplesPerSec == 0) return 0;
  const double ms = static_cast<double>(b / format.blockAlign) * 1000.0 /
                    static_cast<double>(format.samplesPerSec);
  const double limit = static_cast<double>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(std::trunc(std::min(ms, limit)));
}

int64_t PlayedBytes(const WaveFormat& format, DeviceTimeUnit unit, uint32_t count) {
  const int64_t n = count;
  switch (unit) {
    case DeviceTimeUnit::Bytes:
      return n;
    case DeviceTimeUnit::Samples:
      return n * format.blockAlign;
    case DeviceTimeUnit::Milliseconds:
      return n * format.blockAlign * format.samplesPerSec / 1000;
    case DeviceTimeUnit::Other:
      break;
  }
  return -1;
}

ChunkSpan NextChunk(int32_t start, int32_t sampleBytes, uint32_t chunkBytes) {
  const int64_t last = static_cast<int64_t>(sampleBytes) - 1;
  int64_t from = start < 0 ? 0 : start;
  if (from >= last) from = last;
  if (chunkBytes == 0 || last < 0) {
    const int32_t at = static_cast<int32_t>(std::max<int64_t>(from, 0));
    return {at, at};
  }
  int64_t end = static_cast<int64_t>(chunkBytes) * ((from + chunkBytes) / chunkBytes);
  if (end >= last) end = last;
  return {static_cast<int32_t>(from), static_cast<int32_t>(end)};
}

void ScaleSamples(const uint8_t* in, uint8_t* out, std::size_t n, int32_t volume) {
  const int32_t v = ClampVolume(volume);
  for (std::size_t i = 0; i < n; ++i) {
    // Integer division truncates toward zero, so quiet samples stay symmetric
    // around the silent level.
    out[i] = static_cast<uint8_t>(((static_cast<int32_t>(in[i]) - 128) * v) / kMaxVolume + 128);
  }
}

int32_t ClampVolume(int32_t volume) {
  if (volume >= kMaxVolume) return kMaxVolume;
  if (volume < 0) return 0;
  return volume;
}
