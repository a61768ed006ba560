#pragma once
// The one sound layout the recorder writes, checked byte by byte: a RIFF/WAVE file whose
// 16-byte PCM format chunk (8-bit mono at the recorder's sample rate) is followed
// directly by the data chunk. Nothing is searched for or skipped, so any other layout
// is refused.
#include <cstddef>
#include <cstdint>
#include <optional>

// "RIFF", size, "WAVE", the format chunk (8 + 16 bytes) and the data chunk's head.
constexpr std::size_t kWaveHeaderBytes = 44;

struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

struct WaveHeader {
  WaveFormat format;
  uint32_t dataBytes = 0;  // the samples start at kWaveHeaderBytes
};

// The header of a sound file of fileBytes bytes whose first `size` bytes are given, or
// nothing when the file is not in the accepted layout. A data chunk that is empty, that
// the file cannot hold, or that exceeds the signed 32-bit range the player counts in is
// refused here, before anything is allocated for it.
std::optional<WaveHeader> CheckWaveHeader(const uint8_t* bytes, std::size_t size,
                                          uint64_t fileBytes);
