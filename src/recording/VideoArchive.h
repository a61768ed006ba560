#pragma once
// The reader of one recording archive: scans the file once, builds the timeline of
// picture slots (28 a second) with a time index, extracts the sound into a temporary
// WAVE file, and afterwards reads single pictures on request.
//
// No lock of its own: the background loader serialises every call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recording/ArchiveFormat.h"
#include "recording/ByteStream.h"
#include "recording/FrameEntry.h"
#include "recording/ILoadProgress.h"
#include "toolkit/Image.h"
#include "toolkit/ImageDecoding.h"
#include "toolkit/JpegDecoder.h"


class VideoArchive {
 public:
  static constexpr int kMaxSlots = 30000;
  static constexpr double kSlotMs = 1000.0 / 28.0;
  // A picture is placed in its slot or the next one, so the last usable slot is this.
  static constexpr int kLastPlacedSlot = kMaxSlots - 2;

  struct TimeIndexEntry {
    int64_t tick = 0;
    int32_t slot = 0;
    int32_t spare = 0;
  };

  VideoArchive();
  virtual ~VideoArchive();
  VideoArchive(const VideoArchive&) = delete;
  VideoArchive& operator=(const VideoArchive&) = delete;

  // Reads the archive at `path` and builds every table; `player` hears the progress and
  // names the window kept responsive (may be null). Throws VideoArchiveException; a
  // failed load leaves the archive closed and its temporary sound file deleted.
  void Load(const std::wstring& path, ILoadProgress* player);
  // The same over an already opened source (the archive file stays this source).
  void Load(std::unique_ptr<IByteSource> source, ILoadProgress* player);
  // The same with the WAVE file written to `sound` (the caller's) instead of a
  // temporary file; null: the sound is not kept. SoundPath stays empty.
  void Load(std::unique_ptr<IByteSource> source, ILoadProgress* player, IByteSink* sound);

  // Closes the file, empties the tables and deletes the temporary sound file.
  void Close();

  // The decoded picture of `slot`, or null when it has none that can be read.
  std::unique_ptr<Image> ReadFrameImage(int slot);
  // The same within the given bounds (instead of the archive's own).
  std::unique_ptr<Image> ReadFrameImage(int slot, const ImageDecodingLimits& limits);
  // The picture's rebuilt JPEG stream (the bytes handed to the decoder); false when the
  // slot has no readable picture.
  bool ReadFrameJpeg(int slot, std::vector<uint8_t>& jpeg);

  // Opens a plain picture file: one slot, no entry. Throws VideoArchiveException (5517).
  void OpenPlain(const std::wstring& path);
  // Opens the file a slot's entry came from. Throws VideoArchiveException (5510).
  void OpenEntrySource(int slot);

  bool IsOpen() const { return source_ != nullptr; }
  int SlotCount() const { return slotCount_; }
  int IndexCount() const { return indexCount_; }
  const FrameEntry* Entry(int slot) const;
  const TimeIndexEntry& IndexEntry(int i) const { return index_[static_cast<size_t>(i)]; }
  int CurrentSlot() const { return currentSlot_; }
  int32_t ReservedValue() const { return 0; }
  double ReservedReal1() const { return reservedReal1_; }
  double ReservedReal2() const { return reservedReal2_; }
  int64_t RecordingStartTime() const { return recordingStartTime_; }
  int64_t StartTick() const { return startTick_; }
  uint32_t ArchiveId() const { return archiveId_; }
  int64_t FirstPictureTime() const { return firstPictureTime_; }
  int64_t LastPictureTime() const { return lastPictureTime_; }
  int64_t SummaryStartTime() const { return summaryStartTime_; }
  const std::wstring& SoundPath() const { return soundPath_; }
  // Size of the WAVE file's data written by the last load (0 without sound).
  uint32_t SoundDataBytes() const { return soundBytes_; }
  // Whether the last load wrote the sound during its scan (no second pass over the file).
  bool SoundStreamed() const { return soundStreamed_; }
  archive::FormatVersion Version() const { return version_; }
  // Bounds for decoding one picture (the fuzzers use tighter ones than the viewer).
  void SetDecodingLimits(const ImageDecodingLimits& limits) { limits_ = limits; }

  // The recorder's 32-bit tick widened against the start tick: a counter more than an
  // hour below the start has wrapped.
  static int64_t WidenTick(uint32_t tick, uint32_t startTick);

 private:
  // Loads, writing the sound to `sound`; `ownedSound` (may be null) is the file behind it,
  // closed when the load ends either way.
  void LoadOrClose(std::unique_ptr<IByteSource> source, ILoadProgress* player, IByteSink* sound,
                   std::unique_ptr<IByteSink> ownedSound);
  void LoadBody(std::unique_ptr<IByteSource> source, ILoadProgress* player, IByteSink* sound);
  // The steps after the scan: pictures into their slots, gaps filled with copies, the
  // time index, and the summary times.
  void PlaceOnTimeline(std::vector<std::unique_ptr<FrameEntry>>& pictures, double firstTick,
                       double offset);
  void FillGaps();
  void BuildTimeIndex();
  void SummariseTimes();
  // Reads the picture's fragments into `content` (sized to the payload); false when the
  // recording ends before a fragment does.
  bool ReadFragments(const FrameEntry& entry, std::vector<uint8_t>& content);

  // A picture whose fragments span at most this much of the file is read at once.
  static constexpr size_t kOneReadLimit = size_t(256) << 10;

  int64_t recordingStartTime_ = 0;
  int64_t startTick_ = 0;
  uint32_t archiveId_ = 0;
  double reservedReal1_ = 0.0;
  double reservedReal2_ = 0.0;
  int currentSlot_ = -1;
  std::unique_ptr<IByteSource> source_;
  int slotCount_ = 0;
  int indexCount_ = 0;
  std::wstring soundPath_;
  uint32_t soundBytes_ = 0;
  bool soundStreamed_ = false;
  int64_t firstPictureTime_ = 0;
  int64_t lastPictureTime_ = 0;
  int64_t summaryStartTime_ = 0;
  std::vector<TimeIndexEntry> index_;
  std::vector<std::unique_ptr<FrameEntry>> slots_;
  archive::FormatVersion version_;
  ImageDecodingLimits limits_;
  // Kept from picture to picture: the player reads 28 of them a second.
  JpegDecoder decoder_;
  std::vector<uint8_t> jpeg_;
  std::vector<uint8_t> stretch_;
};
