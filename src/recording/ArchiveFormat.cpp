#include "recording/ArchiveFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/FormatVersionText.h"

namespace archive {

const uint8_t kSignaturePattern[kSignaturePatternSize] = {'O', 'R', 'I', 'V', 'A', 'N', 'E',
                                                          '-', 'S', 'Y', 'S', '.', 0,   0};

const uint8_t kJpegPrefix[kTagSize] = {0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x04, 0x00, 0x00,
                                       0xFF, 0xFE, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xE0};

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

int16_t ReadS16(const uint8_t* p) { return static_cast<int16_t>(ReadU16(p)); }

int32_t ReadS32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

int DecodeBcd(uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

uint32_t DecodeBcdNumber(const uint8_t* p, size_t count) {
  // Nibbles above 9 are taken arithmetically; with at most four bytes (8 digits of up
  // to 165 per pair) the value stays far below 2^32.
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value = value * 100 + static_cast<uint32_t>(DecodeBcd(p[i]));
  return value;
}

LocalDateTime DecodeBcdDateTime(const uint8_t* p) {
  LocalDateTime t;
  t.year = 2000 + DecodeBcd(p[0]);
  t.month = DecodeBcd(p[1]);
  t.day = DecodeBcd(p[2]);
  t.hour = DecodeBcd(p[3]);
  t.minute = DecodeBcd(p[4]);
  t.second = DecodeBcd(p[5]);
  return t;
}

ArchiveHeader DecodeArchiveHeader(const uint8_t* header32) {
  ArchiveHeader h;
  h.start = DecodeBcdDateTime(header32 + 2);
  h.startTime = CalendarTimeOrZero(h.start);
  h.startTick = ReadU32(header32 + 16);
  h.archiveId = ReadU32(header32 + 28);
  return h;
}

BlockHeader DecodeBlockHeader(const uint8_t* header64) {
  BlockHeader h;
  h.blockSize = ReadS32(header64);
  h.tick = ReadU32(header64 + 4);
  h.payloadSize = ReadS32(header64 + 8);
  h.type = header64[12];
  h.fragment = header64[13];
  h.archiveId = ReadU32(header64 + 28);
  return h;
}

double DecodeG(int16_t raw) { return raw * kGPerRaw; }

double CombinedG(double x, double y, double z) {
  return std::min(std::sqrt(x * x + y * y + z * z), kMaxCombinedG);
}

int DecodeSpeed(const uint8_t* p) {
  return static_cast<int>(std::min<uint32_t>(DecodeBcdNumber(p, 2), kMaxSpeed));
}

PictureValues DecodePictureValues(const uint8_t* header64) {
  PictureValues v;
  v.event = header64[32];
  v.status = header64[33];
  v.local = DecodeBcdDateTime(header64 + 34);
  v.time = CalendarTimeOrZero(v.local);
  v.gx = DecodeG(ReadS16(header64 + 40));
  v.gy = DecodeG(ReadS16(header64 + 42));
  v.gz = DecodeG(ReadS16(header64 + 44));
  v.gTotal = CombinedG(v.gx, v.gy, v.gz);
  v.speed = DecodeSpeed(header64 + 46);
  v.value1 = DecodeBcdNumber(header64 + 48, 4);
  v.shortValue = DecodeBcdNumber(header64 + 48, 2);
  v.value2 = DecodeBcdNumber(header64 + 52, 4);
  return v;
}

bool HasSignature(const uint8_t* tag) {
  return std::memcmp(tag + kSignatureOffset, kSignaturePattern, kSignaturePatternSize) == 0;
}

bool HasVersion(const uint8_t* tag, FormatVersion version) {
  return tag[0] == version.high && tag[1] == version.low;
}

BlockKind ClassifyBlock(const BlockHeader& header, const uint8_t* tag, uint32_t archiveId) {
  if (!HasSignature(tag) && header.type != kSoundBlock) return BlockKind::Lost;
  if (header.archiveId != archiveId) return BlockKind::OtherArchive;
  return BlockKind::Accepted;
}

FormatVersion ProcessFormatVersion() {
  static const FormatVersion version = FormatVersionFromText(LoadText(kTextFormatVersion));
  return version;
}

bool PlausibleBlockSize(int32_t size) {
  return size > static_cast<int32_t>(kBlockHeaderSize) && size <= kMaxBlockSize;
}

int FragmentCount(int32_t payload) {
  if (payload <= 0 || payload > kMaxPicturePayload) return 0;
  if (payload <= kFirstFragmentContent) return 1;
  // Smallest n with payload <= n * 8112 + 16.
  return static_cast<int>((payload - 16 + kNextFragmentContent - 1) / kNextFragmentContent);
}

FragmentSpan FragmentContent(int32_t payload, int k) {
  FragmentSpan span;
  if (k < 1 || k > FragmentCount(payload)) return span;
  if (k == 1) {
    span.blockOffset = kBlockHeaderSize;
    span.contentOffset = 0;
    span.length = std::min(payload, kFirstFragmentContent);
  } else {
    span.blockOffset = kBlockHeaderSize + kTagSize;
    span.contentOffset = kFirstFragmentContent + (k - 2) * kNextFragmentContent;
    span.length = std::min(kNextFragmentContent, payload - span.contentOffset);
  }
  return span;
}

bool RebuildJpegStream(std::vector<uint8_t>& content, FormatVersion version) {
  if (content.size() < kTagSize) return false;
  if (!HasVersion(content.data(), version) || !HasSignature(content.data())) return false;
  std::memcpy(content.data(), kJpegPrefix, kTagSize);
  return true;
}

}  // namespace archive
