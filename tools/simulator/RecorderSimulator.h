#pragma once
// The recorder simulator: writes recording archives byte for byte as the drive recorder
// lays them out (header area, 8192-byte blocks, tagged picture fragments, raw sound), from
// a description of the drive, and returns a manifest of everything it wrote so that tests
// of the reading side can compare what they read with what was put there.
//
// Everything is deterministic: the same description (seed included) gives the same bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/LocalTime.h"
#include "recording/ArchiveFormat.h"

namespace recsim {

// How pictures are made.
enum class PictureMode {
  Full,  // every picture drawn and encoded on its own (clock and frame number burned in)
  Fast,  // a few pictures encoded once and reused in turn (for maximum-size files)
};

// A manoeuvre adds a smooth G peak (and, for braking, a speed drop) to the drive.
struct Manoeuvre {
  enum class Kind { Braking, Cornering, Bump };
  Kind kind = Kind::Braking;
  int atMs = 0;          // start, in ms after the first picture
  int durationMs = 1500;
  double peakG = 0.5;    // peak of the added acceleration, in G (sign gives the direction)
};

// Damage to build into the file on request. Indices count pictures from 0 in time order;
// -1 (or 0 / false) leaves the file sound.
struct Faults {
  // Garbage bytes (no signature inside) inserted right after the blocks of this picture.
  int garbageAfterPicture = -1;
  int garbageBytes = 3000;
  // After the recording, blocks of an older recording (another archive id) follow.
  int olderTailPictures = 0;  // pictures of the older recording behind this one
  uint32_t olderTailId = 0;   // 0: the description's id + 1
  // The file ends this many bytes before the end of its last block.
  int truncateLastBlockBytes = 0;
  // The block carrying this fragment number (>= 2) of the picture is left out. The
  // picture chosen must need that many fragments, or nothing is left out.
  int missingFragmentPicture = -1;
  int missingFragmentNumber = 2;
  // This picture's JPEG stream is written without its end-of-image marker (FF D9).
  int noEndMarkerPicture = -1;
  // Tags of this picture carry `otherVersion` (to damage every picture set
  // RecordingDescription::version instead).
  int otherVersionPicture = -1;
  archive::FormatVersion otherVersion{0x03, 0x02};
  // The start tick is placed so that the 32-bit counter wraps this many ms after the
  // first picture (-1: no wrap; the description's startTick is used).
  int tickWrapAfterMs = -1;
  // Pictures [invalidDateFirst, invalidDateFirst + invalidDateCount) carry an impossible
  // BCD date (30 February, or hour 25 for the odd ones of the range).
  int invalidDateFirst = -1;
  int invalidDateCount = 1;
  // The archive header's start date is impossible.
  bool invalidHeaderDate = false;
  // This picture gets (nearly) the tick of the picture before it, so both fall into one
  // timeline slot; collisionCount pictures in a row from it do so.
  int collidePicture = -1;
  int collisionCount = 1;
};

struct RecordingDescription {
  LocalDateTime start{2009, 6, 14, 9, 30, 0};  // header start and time of the first picture
  uint32_t startTick = 5000000;   // recorder's ms counter at the start
  uint32_t archiveId = 0x00010001;
  int durationMs = 10000;         // span of the pictures
  int pictureCount = 0;           // > 0: exactly this many pictures, whatever durationMs says
  int minIntervalMs = 35;         // picture interval, chosen in [min, max] per picture
  int maxIntervalMs = 36;
  uint32_t seed = 1;
  archive::FormatVersion version;  // written into every tag

  // Sound: unsigned 8-bit mono at 13183 Hz in blocks of soundBlockBytes (<= 4096).
  bool sound = true;
  int soundBlockBytes = 4096;
  int soundOffsetMs = 0;  // first sound block this many ms after (+) or before (-) the first picture
  double soundVolume = 1.0;  // 0..1 scale of the synthetic sound

  // Vehicle data.
  double cruiseSpeedKmh = 42;
  std::vector<Manoeuvre> manoeuvres;  // empty: a default set spread over the drive
  bool defaultManoeuvres = true;      // false: no manoeuvres unless listed
  std::vector<int> switchPressesMs;   // ms after the first picture
  int eventSpanMs = 1000;             // pictures flagged 0x20 from each press on
  uint8_t status = 0x01;              // block header byte 33
  uint32_t value1 = 12340001;         // 8-digit values (value1's first four digits = 4-digit value)
  uint32_t value2 = 2;

  // Pictures.
  PictureMode mode = PictureMode::Full;
  int width = 640;
  int height = 480;
  int jpegQuality = 75;
  int targetJpegBytes = 0;  // > 0: quality chosen so pictures come out near this size
  int fastVariants = 4;     // distinct pictures in fast mode
  double detail = 0.5;      // 0..1 texture of road and fields (more detail, larger pictures)

  Faults faults;
};

// What was written for one picture.
struct PictureRecord {
  int index = 0;               // in time order
  uint32_t tick = 0;           // as written in the block header
  int elapsedMs = 0;           // after the first picture
  LocalDateTime local;         // date and time as written (may be invalid on request)
  uint8_t bcdTime[6] = {};     // the six BCD bytes as written
  int16_t gx = 0, gy = 0, gz = 0;  // raw G values
  int speedKmh = 0;
  uint16_t speedBcd = 0;       // the two BCD bytes, as a big-endian number
  uint8_t event = 0;
  uint8_t status = 0;
  uint32_t value1 = 0, value2 = 0;
  archive::FormatVersion version;  // in this picture's tags
  int32_t payloadSize = 0;     // tag + JPEG bytes after the first 16
  int fragmentCount = 0;       // fragments the payload needs
  // File offset of the block header of each fragment written (a left-out fragment is
  // missing here, so size() may be below fragmentCount).
  std::vector<uint64_t> blockOffsets;
  bool endMarker = true;       // JPEG end-of-image marker present
  std::shared_ptr<const std::vector<uint8_t>> jpeg;  // the complete JPEG stream encoded
  uint64_t jpegHash = 0;       // FNV-1a of *jpeg
};

struct SoundRecord {
  uint32_t tick = 0;
  uint64_t blockOffset = 0;    // file offset of its block header
  std::vector<uint8_t> samples;
};

// Damage actually placed, with file offsets.
struct GarbageRecord {
  uint64_t offset = 0;
  uint64_t size = 0;
};

struct RecordingManifest {
  LocalDateTime start;
  uint8_t headerBcd[6] = {};
  uint32_t startTick = 0;
  uint32_t archiveId = 0;
  std::vector<PictureRecord> pictures;  // this recording's pictures, in time order
  std::vector<SoundRecord> sounds;      // in file order
  std::vector<GarbageRecord> garbage;
  uint64_t olderTailOffset = 0;         // where the older recording's blocks begin (0: none)
  uint32_t olderTailId = 0;
  uint64_t fileSize = 0;
  uint64_t truncatedBytes = 0;          // cut off the end of the last block
};

// FNV-1a, 64 bit.
uint64_t HashBytes(const uint8_t* data, size_t size);

// A drive of `durationMs` with quickly made pictures of the given size (what tests and
// benchmarks that do not look at the pictures' content want); the rest as by default.
inline RecordingDescription FastDrive(int durationMs, int width, int height) {
  RecordingDescription d;
  d.durationMs = durationMs;
  d.mode = PictureMode::Fast;
  d.width = width;
  d.height = height;
  return d;
}

// Builds the archive in memory.
std::vector<uint8_t> BuildRecording(const RecordingDescription& description,
                                    RecordingManifest* manifest = nullptr);

// Writes the archive to `path` (streamed, so maximum-size files need little memory).
// Throws std::runtime_error when the file cannot be written.
RecordingManifest WriteRecording(const RecordingDescription& description, const std::wstring& path);

}  // namespace recsim
