#pragma once
// The sound player's arithmetic, kept apart from the audio device so it can be checked
// exactly: conversions between milliseconds and sample bytes, the span of the next
// chunk to queue, and the software volume.
#include <cstddef>
#include <cstdint>

#include "playback/WaveHeader.h"

// The sample byte at `ms` milliseconds, rounded down and clamped into the sound
// (0 .. sampleBytes - 1; 0 for an empty sound or a negative time).
int32_t BytesFromMs(const WaveFormat& format, int32_t sampleBytes, int32_t ms);

// The time of sample byte `bytes`, clamped into the sound first, in whole milliseconds
// rounded down. The rate is read as unsigned, as the device reads it.
int32_t MsFromBytes(const WaveFormat& format, int32_t sampleBytes, int32_t bytes);

// The units in which the device may report how much it has played: it is asked for
// bytes, but a driver is free to answer in another unit.
enum class DeviceTimeUnit { Bytes, Samples, Milliseconds, Other };

// The sample bytes played, from a count the device gave in the unit it chose
// (milliseconds are converted at the format's rate, truncated); -1 when the unit says
// nothing about the sound.
int64_t PlayedBytes(const WaveFormat& format, DeviceTimeUnit unit, uint32_t count);

// What the next chunk covers: [start, end) after clamping the start into the sound.
// Chunks end on multiples of the chunk size counted from the first sample, so the
// first chunk after a seek is shorter. The final sample is never queued: a chunk that
// would reach it ends before it, which is how the player recognises the end.
struct ChunkSpan {
  int32_t start = 0;
  int32_t end = 0;
  int32_t length() const { return end - start; }
};
ChunkSpan NextChunk(int32_t start, int32_t sampleBytes, uint32_t chunkBytes);

// Copies n 8-bit samples scaled by volume (0..kMaxVolume) around the silent level 128.
void ScaleSamples(const uint8_t* in, uint8_t* out, std::size_t n, int32_t volume);

// A volume brought into 0..kMaxVolume.
int32_t ClampVolume(int32_t volume);
