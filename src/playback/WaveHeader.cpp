#include "playback/WaveHeader.h"

#include <cstring>
#include <limits>

#include "recording/ArchiveFormat.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool Tag(const uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

std::optional<WaveHeader> CheckWaveHeader(const uint8_t* bytes, std::size_t size,
                                          uint64_t fileBytes) {
  if (bytes == nullptr || size < kWaveHeaderBytes || fileBytes < kWaveHeaderBytes) {
    return std::nullopt;
  }
  // The RIFF size (offset 4) and the format chunk's size (offset 16) are not used: a
  // longer format chunk shows up as a missing "data" tag at offset 36.
  if (!Tag(bytes, "RIFF") || !Tag(bytes + 8, "WAVE") || !Tag(bytes + 12, "fmt ")) {
    return std::nullopt;
  }
  WaveHeader header;
  const uint8_t* fmt = bytes + 20;
  header.format.formatTag = Le16(fmt);
  header.format.channels = Le16(fmt + 2);
  header.format.samplesPerSec = Le32(fmt + 4);
  header.format.avgBytesPerSec = Le32(fmt + 8);
  header.format.blockAlign = Le16(fmt + 12);
  header.format.bitsPerSample = Le16(fmt + 14);
  if (header.format.formatTag != 1 || header.format.channels != 1 ||
      header.format.samplesPerSec != static_cast<uint32_t>(archive::kSoundSampleRate) ||
      header.format.blockAlign != 1) {
    return std::nullopt;
  }
  if (!Tag(bytes + 36, "data")) return std::nullopt;
  header.dataBytes = Le32(bytes + 40);
  const uint64_t room = fileBytes - kWaveHeaderBytes;
  if (header.dataBytes == 0 || header.dataBytes > room ||
      header.dataBytes > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  return header;
}
