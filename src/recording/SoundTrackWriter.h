#pragma once
// Writes a recording's sound as an 8-bit mono WAVE file: the sound blocks in tick order,
// silence before the first one so that it lines up with the pictures, and the gaps
// between blocks bridged with the last sample so that the track keeps the recording's
// pace.
#include <cstdint>
#include <vector>

#include "recording/ByteStream.h"

// One sound block found by the scan.
struct SoundBlock {
  int64_t tick = 0;          // widened millisecond counter
  int32_t payloadSize = 0;   // sound bytes the block declares
  int64_t position = 0;      // content start in the archive
  int64_t pooled = -1;       // where its bytes were kept during the scan, -1 if not kept
  uint32_t pooledSize = 0;   // how many were kept (the content up to the end of the file)
};

class SoundTrackWriter {
 public:
  static constexpr size_t kHeaderSize = 44;
  static constexpr int kLeadMs = 38;       // the recorder starts its sound this much late
  static constexpr int kPieceBytes = 4096; // largest piece written at once
  static constexpr int kMinGapBytes = 16;  // blocks closer than this are dropped
  static constexpr int kMaxGapRest = 2048; // gap rests up to this are not bridged
  // Silence and bridging never make the track longer than twice the timeline (30000
  // slots at 28 a second): a damaged tick must not fill the disk.
  static constexpr uint32_t kMaxFillTotal = 2u * (30000u * 13183u / 28u);

  // `pool` holds the bytes kept during the scan; `archive` serves the others (may be
  // null when every block was kept).
  SoundTrackWriter(IByteSink& sink, const std::vector<uint8_t>& pool, IByteSource* archive);

  // The 44-byte header with the given data size (RIFF size = data + 36).
  bool WriteHeader(uint32_t dataBytes);

  // Sorts `blocks` by tick (stable), writes the track after the header and the header
  // again with its sizes. `firstPictureTick` is the smallest picture tick; `hasPictures`
  // tells whether it is meaningful. Returns the size of the data written.
  uint32_t WriteTrack(std::vector<SoundBlock>& blocks, bool hasPictures, double firstPictureTick);

  // The steps of WriteTrack, for a writer that meets the blocks one by one in tick order
  // and holds the bytes of each (`got` of them were read; a short read keeps the fill):
  // the silence before the first block, each block but the last with the tick of the
  // one after it, the last block, and the end (the data ends there, and the header is
  // written again with its sizes; returns the data size).
  void WriteLead(int64_t firstSoundTick, bool hasPictures, double firstPictureTick);
  void WriteBlock(const SoundBlock& block, const uint8_t* samples, size_t got, int64_t nextTick);
  void WriteLastBlock(const SoundBlock& block, const uint8_t* samples, size_t got);
  uint32_t Finish();

  // The silence WriteLead writes, in bytes.
  static uint64_t LeadBytes(int64_t firstSoundTick, bool hasPictures, double firstPictureTick);
  // The sound bytes of a block the track uses (its payload, within one piece).
  static size_t UsedBytes(const SoundBlock& block);

 private:
  void Put(const uint8_t* data, size_t size);
  void Fill(uint8_t value, uint64_t count);
  // Copies the block's kept or stored bytes to `buffer` (up to `size`); returns how many.
  size_t Fetch(const SoundBlock& block, uint8_t* buffer, size_t size);

  IByteSink& sink_;
  const std::vector<uint8_t>& pool_;
  IByteSource* archive_;
  uint64_t written_ = 0;
  uint8_t last_ = 0x80;  // the last sample written; before any, a short read keeps silence
};
