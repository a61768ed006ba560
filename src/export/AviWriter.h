#pragma once
// Writes an AVI (RIFF) file of one MJPG video stream and an optional 8-bit mono PCM
// sound stream, chunk by chunk in the order given. A file that stays within the first
// RIFF part (1 GiB) is a plain AVI with an idx1 index; a longer one continues in AVIX
// parts with the OpenDML indexes (a standard index per stream and part, a super index
// per stream, the total frame count), which the first part has room for from the start.
#include <cstdint>
#include <vector>

#include "export/IClipSink.h"

struct AviFormat {
  int32_t width = 0;
  int32_t height = 0;
  uint32_t framesPerSecond = 28;
  bool sound = false;
  uint32_t sampleRate = 0;  // samples (bytes) a second of the sound stream
  // Largest size of one RIFF part. 1 GiB keeps the first part readable by everything
  // that knows only idx1; the tests set less to see many parts in little space.
  int64_t partLimit = int64_t(1) << 30;
};

class AviWriter {
 public:
  // Most RIFF parts a file may have (room for their entries is kept in the headers).
  static constexpr int kMaxParts = 64;

  // Writes the headers at once; Finish completes them.
  AviWriter(IClipSink& sink, const AviFormat& format);
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  void WriteFrame(const uint8_t* data, size_t size);
  void WriteSound(const uint8_t* data, size_t size);
  // Writes the indexes and every size and count left open. Nothing may be written after.
  void Finish();

  int Parts() const { return static_cast<int>(parts_.size()); }

 private:
  struct Entry {
    int64_t position;  // of the chunk's header in the file
    uint32_t size;     // of its data, without the pad byte
  };
  struct StreamPart {
    std::vector<Entry> entries;
    int64_t indexPosition = 0;  // of its ix## chunk
    uint32_t indexSize = 0;
    uint64_t duration = 0;      // frames, or sound samples
  };
  struct Part {
    int64_t riffPosition = 0;
    int64_t moviPosition = 0;   // of the list's "movi" word, which idx1 offsets count from
    StreamPart streams[2];
  };

  void WriteHeaders();
  void WriteStreamList(int stream);
  void WriteChunk(int stream, const uint8_t* data, size_t size);
  void StartPart();
  void EndPart(bool last);
  void WriteStandardIndex(int stream, Part& part);
  void WriteIdx1(const Part& part);
  void CompleteHeaders();
  int64_t PartIndexBytes(const Part& part, size_t extraEntries) const;
  int Streams() const { return format_.sound ? 2 : 1; }

  IClipSink& sink_;
  AviFormat format_;
  std::vector<Part> parts_;
  bool finished_ = false;
  uint32_t largestChunk_[2] = {0, 0};
  uint64_t totals_[2] = {0, 0};
  // Where fields that the end fills in lie.
  int64_t avihPosition_ = 0;
  int64_t strhPosition_[2] = {0, 0};
  int64_t superIndexPosition_[2] = {0, 0};
  int64_t odmlPosition_ = 0;
};
