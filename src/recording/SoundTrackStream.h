#pragma once
// Writes a recording's sound track while the scan goes, so that the sound needs neither
// a second pass over the archive nor the whole track in memory: each sound block is
// written as soon as the next one shows how long a gap follows it.
//
// The track depends on things only the end of the scan settles: the blocks' tick order
// and the first picture's tick (which places the silence before the sound). The stream
// writes on the assumption a recorder's file bears out (blocks in tick order, the
// first picture found being the earliest) and checks it at the end; when the file
// proves otherwise, the track is written again whole, reading the blocks from the
// archive. Either way the file's bytes are those SoundTrackWriter::WriteTrack gives.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "recording/ByteStream.h"
#include "recording/SoundTrackWriter.h"

class SoundTrackStream {
 public:
  // Blocks met before the first picture are kept in memory up to this many bytes;
  // beyond it the track is written at the end from the archive.
  static constexpr size_t kMaxWaitingBytes = size_t(1) << 20;

  // `archive` serves the blocks' bytes should the track be written again.
  SoundTrackStream(IByteSink& sink, IByteSource& archive);

  // The header, its sizes still 0.
  void Begin();
  // A picture the scan found, with its widened tick.
  void PictureFound(int64_t tick);
  // A sound block the scan found, in file order, and the `got` bytes of it that were
  // read (at most SoundTrackWriter::UsedBytes of it; fewer where the file ends).
  void BlockFound(const SoundBlock& block, const uint8_t* samples, size_t got);
  // Ends the track. `blocks` is every block passed to BlockFound (sorted here by tick);
  // `hasPictures` and `firstPictureTick` as for SoundTrackWriter::WriteTrack. Returns
  // the size of the data written.
  uint32_t Finish(std::vector<SoundBlock>& blocks, bool hasPictures, double firstPictureTick);

  // Whether the track was written as the scan went (no second pass over the archive).
  bool Streamed() const { return streamed_; }

 private:
  enum class Mode {
    Waiting,    // no picture or no block yet: blocks are kept
    Streaming,  // the silence is written; one block waits for its successor's tick
    Rewrite,    // the assumption failed: the track is written whole at the end
  };

  void Keep(const SoundBlock& block, const uint8_t* samples, size_t got);
  void Start();
  void GiveUp();

  IByteSink& sink_;
  IByteSource& archive_;
  std::vector<uint8_t> kept_;  // the kept blocks' bytes (their pool)
  SoundTrackWriter writer_;
  Mode mode_ = Mode::Waiting;
  std::vector<SoundBlock> waiting_;
  bool pictureFound_ = false;
  int64_t firstFoundPictureTick_ = 0;
  int64_t firstSoundTick_ = 0;
  uint64_t leadWritten_ = 0;
  int64_t lastTick_ = INT64_MIN;
  size_t found_ = 0;
  bool streamed_ = false;
};
