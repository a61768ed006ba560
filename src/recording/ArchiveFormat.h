#pragma once
// The byte layout of a recording archive and the rules that decode it. Pure functions
// over byte buffers: the reader, the folder scan, the tools and the recorder simulator
// all share them. All multi-byte integers in the file are big-endian.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/LocalTime.h"

namespace archive {

constexpr size_t kHeaderAreaSize = 8192;      // the archive header area; blocks follow it
constexpr size_t kArchiveHeaderSize = 32;     // the part of the header area that is read
constexpr size_t kBlockSize = 8192;           // the usual size of a block
constexpr size_t kBlockHeaderSize = 64;
constexpr size_t kTagSize = 16;               // the picture tag at the start of picture content
constexpr size_t kSignatureOffset = 2;        // the signature pattern within the tag
constexpr size_t kSignaturePatternSize = 14;  // "ORIVANE-SYS." and two zero bytes
constexpr int32_t kFirstFragmentContent = 8128;  // content bytes a first block carries
constexpr int32_t kNextFragmentContent = 8112;   // content bytes a continuing block carries
constexpr int kMaxFragments = 10;
constexpr int32_t kMaxPicturePayload = kMaxFragments * kNextFragmentContent + 16;  // 81136
constexpr int32_t kMaxBlockSize = 1 << 20;     // far above any block the recorder writes
constexpr int32_t kMaxSoundBytes = 4096;      // sound bytes used from one sound block
constexpr int kSoundSampleRate = 13183;       // unsigned 8-bit mono PCM
constexpr uint8_t kPictureBlock = 0x55;
constexpr uint8_t kSoundBlock = 0xAA;
constexpr uint8_t kEventFlag = 0x20;
constexpr int kMaxSpeed = 180;
constexpr double kGPerRaw = 0.00024414;       // deliberately not exactly 1/4096
constexpr double kMaxCombinedG = 2.0;

extern const uint8_t kSignaturePattern[kSignaturePatternSize];
extern const uint8_t kJpegPrefix[kTagSize];

// The recording format version: two bytes, major and minor (0x04, 0x01).
struct FormatVersion {
  uint8_t high = 0x04;
  uint8_t low = 0x01;
  bool operator==(const FormatVersion& o) const { return high == o.high && low == o.low; }
  bool operator!=(const FormatVersion& o) const { return !(*this == o); }
};

// The version this program reads and writes: the string table's entry, read once with
// FormatVersionFromText (0401 if the entry cannot be read).
FormatVersion ProcessFormatVersion();

// Big-endian readers.
uint16_t ReadU16(const uint8_t* p);
uint32_t ReadU32(const uint8_t* p);
int16_t ReadS16(const uint8_t* p);
int32_t ReadS32(const uint8_t* p);

// One BCD byte: high nibble × 10 + low nibble, nibbles above 9 included (0x1A -> 20).
int DecodeBcd(uint8_t byte);
// `count` BCD bytes, first byte most significant.
uint32_t DecodeBcdNumber(const uint8_t* p, size_t count);

// Six BCD bytes year-2000, month, day, hour, minute, second.
LocalDateTime DecodeBcdDateTime(const uint8_t* p);

struct ArchiveHeader {
  LocalDateTime start;     // as written, not checked
  int64_t startTime = 0;   // calendar time of `start`, 0 if not a valid date and time
  uint32_t startTick = 0;
  uint32_t archiveId = 0;
};

// Decodes the first 32 bytes of an archive.
ArchiveHeader DecodeArchiveHeader(const uint8_t* header32);

struct BlockHeader {
  int32_t blockSize = 0;    // bytes from this header's first byte to the next block
  uint32_t tick = 0;
  int32_t payloadSize = 0;
  uint8_t type = 0;
  uint8_t fragment = 0;
  uint32_t archiveId = 0;
};

// Decodes the fields every block has.
BlockHeader DecodeBlockHeader(const uint8_t* header64);

// The values a picture block's header carries about its picture (meaningful in the
// block that starts a picture).
struct PictureValues {
  LocalDateTime local;      // as written
  int64_t time = 0;         // calendar time, 0 if `local` is not a valid date and time
  double gx = 0, gy = 0, gz = 0;
  double gTotal = 0;
  int speed = 0;
  uint32_t value1 = 0;      // first 8-digit value
  uint32_t shortValue = 0;  // its first four digits
  uint32_t value2 = 0;      // second 8-digit value
  uint8_t event = 0;
  uint8_t status = 0;

  bool isEvent() const { return event == kEventFlag; }
};

PictureValues DecodePictureValues(const uint8_t* header64);

double DecodeG(int16_t raw);
double CombinedG(double x, double y, double z);
// The 4-digit BCD speed at p, limited to 180 km/h.
int DecodeSpeed(const uint8_t* p);

// True when the 16-byte tag carries the signature pattern (version bytes not tested).
bool HasSignature(const uint8_t* tag);
// True when the tag's version bytes equal `version`.
bool HasVersion(const uint8_t* tag, FormatVersion version);

enum class BlockKind {
  Accepted,      // a block of this recording (picture tag or sound type)
  OtherArchive,  // a block, but of an older recording on the card: the recording ends here
  Lost,          // not a block: the reader has lost the block boundaries
};

// Recognises a block from its header and the first 16 bytes behind it: a block starts
// either with the picture tag's signature or has the sound type.
BlockKind ClassifyBlock(const BlockHeader& header, const uint8_t* tag, uint32_t archiveId);

// True when a block-size field can describe a real block: larger than the block's own
// header and no larger than kMaxBlockSize. Any other value is damage.
bool PlausibleBlockSize(int32_t size);

// The pieces of a picture's content. Fragment k (1-based) starts `blockOffset` bytes
// into its block and carries `length` content bytes starting at content byte `contentOffset`.
struct FragmentSpan {
  size_t blockOffset = 0;
  int32_t contentOffset = 0;
  int32_t length = 0;
};

// The number of fragments a picture of payload size P needs: the smallest n with
// P <= n × 8112 + 16. 0 when P is not a usable size (P <= 0 or above 10 fragments).
int FragmentCount(int32_t payload);
// The span of fragment k (1 <= k <= FragmentCount(payload)).
FragmentSpan FragmentContent(int32_t payload, int k);

// Checks the assembled picture content (tag + JPEG bytes) and turns it into a complete
// JPEG stream by replacing the tag with the fixed prefix. False, and the buffer
// unchanged, when the tag lacks the version or the signature.
bool RebuildJpegStream(std::vector<uint8_t>& content, FormatVersion version);

}  // namespace archive
