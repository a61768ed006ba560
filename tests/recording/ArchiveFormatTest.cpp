#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "foundation/LocalTime.h"
#include "recording/ArchiveFormat.h"
#include "recording/FormatVersionText.h"

using namespace archive;

namespace {

std::vector<uint8_t> Header64() { return std::vector<uint8_t>(kBlockHeaderSize, 0); }

void PutS16(uint8_t* p, int16_t v) {
  p[0] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
  p[1] = static_cast<uint8_t>(v);
}

}  // namespace

TEST(ArchiveFormat, BcdDecodesArithmeticallyEvenAboveNine) {
  EXPECT_EQ(DecodeBcd(0x00), 0);
  EXPECT_EQ(DecodeBcd(0x59), 59);
  EXPECT_EQ(DecodeBcd(0x0A), 10);
  EXPECT_EQ(DecodeBcd(0x1A), 20);
  EXPECT_EQ(DecodeBcd(0xFF), 165);
  const uint8_t digits[4] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(DecodeBcdNumber(digits, 4), 12345678u);
  EXPECT_EQ(DecodeBcdNumber(digits, 2), 1234u);
  const uint8_t worst[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeBcdNumber(worst, 4), 165u * 1000000 + 165u * 10000 + 165u * 100 + 165u);
}

TEST(ArchiveFormat, GValuesUseTheRecordersConstant) {
  EXPECT_DOUBLE_EQ(DecodeG(0x1000), 0.99999744);
  EXPECT_DOUBLE_EQ(DecodeG(-4096), -0.99999744);
  EXPECT_EQ(DecodeG(0), 0.0);
  EXPECT_NEAR(DecodeG(0x7FFF), 8.0, 0.01);
  EXPECT_EQ(CombinedG(DecodeG(0x7FFF), DecodeG(0x7FFF), DecodeG(0x7FFF)), 2.0);
  EXPECT_DOUBLE_EQ(CombinedG(0.6, 0.8, 0.0), 1.0);
}

TEST(ArchiveFormat, SpeedIsLimitedTo180) {
  const uint8_t s180[2] = {0x01, 0x80}, s250[2] = {0x02, 0x50}, s179[2] = {0x01, 0x79};
  EXPECT_EQ(DecodeSpeed(s180), 180);
  EXPECT_EQ(DecodeSpeed(s250), 180);
  EXPECT_EQ(DecodeSpeed(s179), 179);
}

TEST(ArchiveFormat, PictureValuesComeFromTheirOffsets) {
  auto h = Header64();
  h[32] = kEventFlag;
  h[33] = 0x07;
  const uint8_t when[6] = {0x09, 0x05, 0x17, 0x13, 0x45, 0x30};
  std::memcpy(&h[34], when, 6);
  PutS16(&h[40], 0x1000);
  PutS16(&h[42], -2048);
  PutS16(&h[44], 0);
  h[46] = 0x00;
  h[47] = 0x62;
  const uint8_t v1[4] = {0x12, 0x34, 0x56, 0x78}, v2[4] = {0x00, 0x00, 0x09, 0x99};
  std::memcpy(&h[48], v1, 4);
  std::memcpy(&h[52], v2, 4);
  const PictureValues v = DecodePictureValues(h.data());
  EXPECT_TRUE(v.isEvent());
  EXPECT_EQ(v.status, 7);
  EXPECT_EQ(v.local, (LocalDateTime{2009, 5, 17, 13, 45, 30}));
  EXPECT_EQ(v.time, CalendarTimeOrZero(v.local));
  EXPECT_NE(v.time, 0);
  EXPECT_DOUBLE_EQ(v.gx, 0.99999744);
  EXPECT_DOUBLE_EQ(v.gy, -0.49999872);
  EXPECT_EQ(v.gz, 0.0);
  EXPECT_DOUBLE_EQ(v.gTotal, std::sqrt(v.gx * v.gx + v.gy * v.gy));
  EXPECT_EQ(v.speed, 62);
  EXPECT_EQ(v.value1, 12345678u);
  EXPECT_EQ(v.shortValue, 1234u);
  EXPECT_EQ(v.value2, 999u);
}

TEST(ArchiveFormat, InvalidDatesGiveNoTime) {
  auto h = Header64();
  const uint8_t feb29[6] = {0x09, 0x02, 0x29, 0x12, 0x00, 0x00};
  std::memcpy(&h[34], feb29, 6);
  EXPECT_EQ(DecodePictureValues(h.data()).time, 0);
  const uint8_t leap[6] = {0x08, 0x02, 0x29, 0x12, 0x00, 0x00};
  std::memcpy(&h[34], leap, 6);
  EXPECT_NE(DecodePictureValues(h.data()).time, 0);
  const uint8_t tenth[6] = {0x09, 0x0A, 0x01, 0x00, 0x00, 0x00};  // month "0A" reads as 10
  std::memcpy(&h[34], tenth, 6);
  EXPECT_EQ(DecodePictureValues(h.data()).local.month, 10);
  EXPECT_NE(DecodePictureValues(h.data()).time, 0);
}

TEST(ArchiveFormat, ArchiveAndBlockHeadersAreBigEndian) {
  uint8_t a[32] = {};
  const uint8_t when[6] = {0x10, 0x12, 0x31, 0x23, 0x59, 0x58};
  std::memcpy(a + 2, when, 6);
  a[16] = 0xFF; a[17] = 0xFF; a[18] = 0x00; a[19] = 0x00;
  a[28] = 0x01; a[29] = 0x02; a[30] = 0x03; a[31] = 0x04;
  const ArchiveHeader ah = DecodeArchiveHeader(a);
  EXPECT_EQ(ah.start, (LocalDateTime{2010, 12, 31, 23, 59, 58}));
  EXPECT_NE(ah.startTime, 0);
  EXPECT_EQ(ah.startTick, 4294901760u);
  EXPECT_EQ(ah.archiveId, 0x01020304u);
  a[4] = 0x32;  // 32 December
  EXPECT_EQ(DecodeArchiveHeader(a).startTime, 0);

  auto h = Header64();
  h[0] = 0xFF; h[1] = 0xFF; h[2] = 0xFF; h[3] = 0xFE;  // a negative block size stays negative
  h[4] = 0x80; h[7] = 0x01;
  h[8] = 0x00; h[9] = 0x00; h[10] = 0x1F; h[11] = 0xC0;
  h[12] = kPictureBlock;
  h[13] = 2;
  h[31] = 9;
  const BlockHeader bh = DecodeBlockHeader(h.data());
  EXPECT_EQ(bh.blockSize, -2);
  EXPECT_EQ(bh.tick, 0x80000001u);
  EXPECT_EQ(bh.payloadSize, 8128);
  EXPECT_EQ(bh.type, kPictureBlock);
  EXPECT_EQ(bh.fragment, 2);
  EXPECT_EQ(bh.archiveId, 9u);
}

TEST(ArchiveFormat, BlocksAreRecognisedBySignatureOrSoundType) {
  uint8_t tag[16] = {0x04, 0x01};
  std::memcpy(tag + 2, kSignaturePattern, kSignaturePatternSize);
  BlockHeader picture;
  picture.type = kPictureBlock;
  picture.archiveId = 5;
  EXPECT_EQ(ClassifyBlock(picture, tag, 5), BlockKind::Accepted);
  EXPECT_EQ(ClassifyBlock(picture, tag, 6), BlockKind::OtherArchive);
  tag[0] = 0x09;  // the version is not part of recognition
  EXPECT_EQ(ClassifyBlock(picture, tag, 5), BlockKind::Accepted);
  tag[13] = 'X';
  EXPECT_EQ(ClassifyBlock(picture, tag, 5), BlockKind::Lost);
  BlockHeader sound = picture;
  sound.type = kSoundBlock;
  EXPECT_EQ(ClassifyBlock(sound, tag, 5), BlockKind::Accepted);
  EXPECT_EQ(ClassifyBlock(sound, tag, 4), BlockKind::OtherArchive);
}

TEST(ArchiveFormat, FragmentArithmetic) {
  EXPECT_EQ(FragmentCount(1), 1);
  EXPECT_EQ(FragmentCount(8128), 1);
  EXPECT_EQ(FragmentCount(8129), 2);
  EXPECT_EQ(FragmentCount(16240), 2);
  EXPECT_EQ(FragmentCount(16241), 3);
  EXPECT_EQ(FragmentCount(20000), 3);
  EXPECT_EQ(FragmentCount(81136), 10);
  // Sizes the fragment table cannot hold, and nonsense, are unusable.
  EXPECT_EQ(FragmentCount(81137), 0);
  EXPECT_EQ(FragmentCount(0), 0);
  EXPECT_EQ(FragmentCount(-1), 0);
  EXPECT_EQ(FragmentCount(INT32_MAX), 0);

  FragmentSpan s = FragmentContent(8129, 2);
  EXPECT_EQ(s.blockOffset, 80u);
  EXPECT_EQ(s.contentOffset, 8128);
  EXPECT_EQ(s.length, 1);

  const FragmentSpan a = FragmentContent(20000, 1), b = FragmentContent(20000, 2), c = FragmentContent(20000, 3);
  EXPECT_EQ(a.blockOffset, 64u);
  EXPECT_EQ(a.contentOffset, 0);
  EXPECT_EQ(a.length, 8128);
  EXPECT_EQ(b.contentOffset, 8128);
  EXPECT_EQ(b.length, 8112);
  EXPECT_EQ(c.contentOffset, 16240);
  EXPECT_EQ(c.length, 3760);
  EXPECT_EQ(FragmentContent(20000, 4).length, 0);
  EXPECT_EQ(FragmentContent(20000, 0).length, 0);

  // The spans cover the content exactly once, for every size up to ten fragments.
  for (int32_t p = 1; p <= kMaxPicturePayload; p += 997) {
    int32_t covered = 0;
    for (int k = 1; k <= FragmentCount(p); ++k) {
      const FragmentSpan f = FragmentContent(p, k);
      EXPECT_EQ(f.contentOffset, covered);
      EXPECT_GT(f.length, 0);
      EXPECT_LE(f.blockOffset + f.length, kBlockSize);
      covered += f.length;
    }
    EXPECT_EQ(covered, p);
  }
}

TEST(ArchiveFormat, JpegStreamIsRebuiltOnlyFromAGoodTag) {
  std::vector<uint8_t> content(40, 0xAB);
  content[0] = 0x04;
  content[1] = 0x01;
  std::memcpy(&content[2], kSignaturePattern, kSignaturePatternSize);
  std::vector<uint8_t> wrongVersion = content;
  wrongVersion[1] = 0x02;
  ASSERT_TRUE(RebuildJpegStream(content, FormatVersion{}));
  EXPECT_EQ(0, std::memcmp(content.data(), kJpegPrefix, 16));
  EXPECT_EQ(content[16], 0xAB);
  EXPECT_EQ(content.size(), 40u);

  const auto before = wrongVersion;
  EXPECT_FALSE(RebuildJpegStream(wrongVersion, FormatVersion{}));
  EXPECT_EQ(wrongVersion, before);
  std::vector<uint8_t> tiny(15, 0);
  EXPECT_FALSE(RebuildJpegStream(tiny, FormatVersion{}));
}

// The reader compares tags with the version start-up records, so it reads the entry the
// same way: as strtol reads base 16, not only as four digits.
TEST(ArchiveFormat, FormatVersionIsReadAsHex) {
  const struct {
    const wchar_t* text;
    FormatVersion version;
  } cases[] = {
      {L"0401", {0x04, 0x01}}, {L"0A1f", {0x0A, 0x1F}}, {L"401", {0x04, 0x01}},
      {L"0x0402", {0x04, 0x02}}, {L"04g1", {0x00, 0x04}}, {L"", {0x04, 0x01}},
  };
  for (const auto& c : cases) {
    const FormatVersion v = FormatVersionFromText(c.text);
    EXPECT_EQ(v.high, c.version.high) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(v.low, c.version.low) << testing::PrintToString(std::wstring(c.text));
  }
  EXPECT_EQ(ProcessFormatVersion(), FormatVersion{}) << "the shipped entry is 0401";
}
