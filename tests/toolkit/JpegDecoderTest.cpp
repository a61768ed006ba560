#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>

#include "TestPictures.h"
#include "toolkit/ImageDecoding.h"
#include "toolkit/JpegDecoder.h"

using testpictures::EncodeJpeg;
using testpictures::JpegOptions;
using testpictures::Rgb;

namespace {

const uint8_t* PixelAt(const Image& image, int x, int yFromTop) {
  return image.Pixels() + (size_t(image.Height() - 1 - yFromTop) * image.Width() + x) * 4;
}

// Top half red, bottom half blue: tells the row order and the byte order apart.
Rgb RedOverBlue(int, int y, int height) { return y < height / 2 ? Rgb{230, 20, 20} : Rgb{20, 20, 230}; }

std::unique_ptr<Image> Decode(const std::vector<uint8_t>& bytes) {
  return DecodeJpegImage(bytes.data(), bytes.size());
}

}  // namespace

TEST(JpegDecoderTest, OnePixel) {
  auto jpeg = EncodeJpeg(1, 1, [](int, int) { return Rgb{200, 100, 50}; });
  auto image = Decode(jpeg);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 1);
  EXPECT_EQ(image->Height(), 1);
  EXPECT_EQ(image->ByteSize(), 4);
  const uint8_t* p = image->Pixels();
  EXPECT_NEAR(p[0], 50, 6);
  EXPECT_NEAR(p[1], 100, 6);
  EXPECT_NEAR(p[2], 200, 6);
  EXPECT_EQ(p[3], 0xFF);  // opaque
}

TEST(JpegDecoderTest, BottomUpBgrForEveryWidth) {
  // Widths that are not multiples of 4 (or of the 8- and 16-pixel blocks) would show a
  // write past a row's end under the address sanitizer.
  for (int width : {1, 2, 3, 5, 7, 9, 15, 17, 31, 33, 63}) {
    const int height = 18;
    auto jpeg = EncodeJpeg(width, height, [&](int x, int y) { return RedOverBlue(x, y, height); });
    auto image = Decode(jpeg);
    ASSERT_TRUE(image) << width;
    ASSERT_EQ(image->Width(), width);
    ASSERT_EQ(image->Height(), height);
    ASSERT_EQ(image->ByteSize(), width * height * 4);
    const uint8_t* top = PixelAt(*image, width / 2, 2);
    const uint8_t* bottom = PixelAt(*image, width / 2, height - 3);
    EXPECT_GT(top[2], 180) << width;  // red on top
    EXPECT_LT(top[0], 70) << width;
    EXPECT_GT(bottom[0], 180) << width;  // blue at the bottom: the buffer's first rows
    EXPECT_LT(bottom[2], 70) << width;
    EXPECT_GT(image->Pixels()[0], 180) << "first buffer row is not the bottom row";
    for (int i = 3; i < image->ByteSize(); i += 4) ASSERT_EQ(image->Pixels()[i], 0xFF);
  }
}

TEST(JpegDecoderTest, GreyGivesEqualColourBytes) {
  JpegOptions grey;
  grey.components = 1;
  auto jpeg = EncodeJpeg(13, 9, [](int x, int y) { return Rgb{uint8_t(x * 19 + y * 3), 0, 0}; }, grey);
  auto image = Decode(jpeg);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->ByteSize(), 13 * 9 * 4);
  for (int i = 0; i < image->ByteSize(); i += 4) {
    const uint8_t* p = image->Pixels() + i;
    ASSERT_EQ(p[0], p[1]);
    ASSERT_EQ(p[1], p[2]);
    ASSERT_EQ(p[3], 0xFF);
  }
}

TEST(JpegDecoderTest, CmykGivesNoImage) {
  JpegOptions cmyk;
  cmyk.components = 4;
  auto jpeg = EncodeJpeg(8, 8, [](int, int) { return Rgb{40, 0, 0}; }, cmyk);
  EXPECT_FALSE(Decode(jpeg));
}

TEST(JpegDecoderTest, ProgressiveDecodesLikeBaseline) {
  auto paint = [](int x, int y) { return Rgb{uint8_t(x * 8), uint8_t(y * 8), 128}; };
  JpegOptions progressive;
  progressive.progressive = true;
  auto a = Decode(EncodeJpeg(24, 20, paint));
  auto b = Decode(EncodeJpeg(24, 20, paint, progressive));
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  for (int i = 0; i < a->ByteSize(); ++i) ASSERT_NEAR(a->Pixels()[i], b->Pixels()[i], 8) << i;
}

TEST(JpegDecoderTest, ScanLimitRefusesManyScans) {
  JpegOptions progressive;
  progressive.progressive = true;  // the simple progression has 10 scans for colour
  auto jpeg = EncodeJpeg(16, 16, [](int, int) { return Rgb{1, 2, 3}; }, progressive);
  ImageDecodingLimits limits;
  limits.maxJpegScans = 3;
  EXPECT_FALSE(DecodeJpegImage(jpeg.data(), jpeg.size(), limits));
  limits.maxJpegScans = 20;
  EXPECT_TRUE(DecodeJpegImage(jpeg.data(), jpeg.size(), limits));
}

TEST(JpegDecoderTest, TruncatedDataStillGivesThePicture) {
  auto jpeg = EncodeJpeg(64, 96, [](int x, int y) { return Rgb{uint8_t(x * 4), uint8_t(y * 5), uint8_t(x * y)}; });
  auto whole = Decode(jpeg);
  ASSERT_TRUE(whole);
  size_t scanStart = 0;  // the start-of-scan marker: entropy-coded data follows it
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
      scanStart = i;
      break;
    }
  }
  ASSERT_NE(scanStart, 0u);
  // Cut anywhere in the picture data: the header's size, the top rows as before.
  for (size_t keep : {jpeg.size() - 2, scanStart + (jpeg.size() - scanStart) * 3 / 4,
                      scanStart + (jpeg.size() - scanStart) / 2, scanStart + 20}) {
    std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + keep);
    auto image = Decode(cut);
    ASSERT_TRUE(image) << keep;
    EXPECT_EQ(image->Width(), 64);
    EXPECT_EQ(image->Height(), 96);
    if (keep > scanStart + 20) {
      // The top row (last in the buffer) was decoded from data that is still there.
      const size_t lastRow = size_t(95) * 64 * 4;
      EXPECT_EQ(std::memcmp(image->Pixels() + lastRow, whole->Pixels() + lastRow, 64 * 4), 0) << keep;
    }
  }
}

TEST(JpegDecoderTest, NotAPictureGivesNoImage) {
  EXPECT_FALSE(DecodeJpegImage(nullptr, 0));
  const uint8_t soiOnly[] = {0xFF, 0xD8};
  EXPECT_FALSE(DecodeJpegImage(soiOnly, sizeof soiOnly));
  const uint8_t text[] = "plainly not a picture";
  EXPECT_FALSE(DecodeJpegImage(text, sizeof text));
  auto jpeg = EncodeJpeg(8, 8, [](int, int) { return Rgb{1, 2, 3}; });
  EXPECT_FALSE(DecodeJpegImage(jpeg.data(), 100));  // ends inside the tables
}

TEST(JpegDecoderTest, HugeDeclaredSizeIsRefusedWithoutAllocating) {
  auto jpeg = EncodeJpeg(16, 16, [](int, int) { return Rgb{9, 9, 9}; });
  const size_t sof = testpictures::FindJpegFrameHeader(jpeg);
  ASSERT_NE(sof, 0u);
  // Frame header: marker(2) length(2) precision(1) height(2) width(2).
  jpeg[sof + 5] = 0xFF, jpeg[sof + 6] = 0xF0;  // height 65520
  jpeg[sof + 7] = 0xFF, jpeg[sof + 8] = 0xF0;  // width 65520: 17 GB as BGR0
  EXPECT_FALSE(Decode(jpeg));
  jpeg[sof + 5] = 0x2E, jpeg[sof + 6] = 0xE0;  // 12000 x 12000: fits 32 bits, over the cap
  jpeg[sof + 7] = 0x2E, jpeg[sof + 8] = 0xE0;
  EXPECT_FALSE(Decode(jpeg));
  ImageDecodingLimits tight;
  tight.maxPixels = 255;
  jpeg[sof + 5] = 0, jpeg[sof + 6] = 16, jpeg[sof + 7] = 0, jpeg[sof + 8] = 16;
  EXPECT_FALSE(DecodeJpegImage(jpeg.data(), jpeg.size(), tight));
  tight.maxPixels = 256;
  EXPECT_TRUE(DecodeJpegImage(jpeg.data(), jpeg.size(), tight));
}

TEST(JpegDecoderTest, SameBytesDecodeToSameBuffer) {
  auto jpeg = EncodeJpeg(40, 30, [](int x, int y) { return Rgb{uint8_t(x ^ y), uint8_t(x * y), 99}; });
  auto a = Decode(jpeg);
  auto b = Decode(jpeg);
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  ASSERT_EQ(a->ByteSize(), b->ByteSize());
  EXPECT_EQ(std::memcmp(a->Pixels(), b->Pixels(), size_t(a->ByteSize())), 0);
}

TEST(JpegDecoderTest, DamagedBytesNeverCrash) {
  // Random damage to a valid picture: every result is either no image or a picture of
  // a consistent size. The sanitizers catch any stray access.
  auto jpeg = EncodeJpeg(48, 40, [](int x, int y) { return Rgb{uint8_t(x * 5), uint8_t(y * 6), 30}; },
                         JpegOptions{3, 80, true});
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> damaged = jpeg;
    const int hits = 1 + int(random() % 6);
    for (int k = 0; k < hits; ++k) damaged[random() % damaged.size()] = uint8_t(random());
    if (round % 3 == 0) damaged.resize(random() % damaged.size());
    auto image = Decode(damaged);
    if (image) {
      ASSERT_EQ(image->ByteSize(), image->Width() * image->Height() * 4);
    }
  }
}

// The viewer's own bounds, as the recording reader gets them: a progressive picture of
// a few kilobytes with hundreds of scans could otherwise keep the loader busy for
// minutes, and a header could demand a buffer far beyond any recorder frame.
TEST(JpegDecoderTest, DefaultLimitsBoundScansAndPixels) {
  JpegOptions progressive;
  progressive.progressive = true;
  const auto jpeg = EncodeJpeg(16, 16, [](int x, int y) { return Rgb{uint8_t(x * 9), uint8_t(y * 9), 60}; },
                               progressive);
  const auto at500 = testpictures::WithScanCount(jpeg, 500);
  const auto at501 = testpictures::WithScanCount(jpeg, 501);
  ASSERT_EQ(testpictures::FindJpegScans(at501).size(), 501u);
  EXPECT_TRUE(Decode(at500));
  EXPECT_FALSE(Decode(at501));
  ImageDecodingLimits unlimited;
  unlimited.maxJpegScans = 0;
  EXPECT_TRUE(DecodeJpegImage(at501.data(), at501.size(), unlimited)) << "refused for another reason";

  // One column more than 4096 x 4096 (16 Mi pixels): refused before anything is read.
  JpegOptions grey;
  grey.components = 1;
  auto big = EncodeJpeg(16, 16, [](int, int) { return Rgb{90, 0, 0}; }, grey);
  const size_t sof = testpictures::FindJpegFrameHeader(big);
  ASSERT_NE(sof, 0u);
  big[sof + 5] = 0x10, big[sof + 6] = 0x00;  // height 4096
  big[sof + 7] = 0x10, big[sof + 8] = 0x01;  // width 4097
  EXPECT_FALSE(Decode(big));
}

namespace {

// Pictures the stop question is tried on: one scan, and ten scans of a progressive file.
std::vector<uint8_t> StopTestPicture(bool progressive) {
  JpegOptions options;
  options.progressive = progressive;
  return EncodeJpeg(64, 96, [](int x, int y) { return Rgb{uint8_t(x * 4), uint8_t(y * 2), uint8_t(x ^ y)}; },
                    options);
}

}  // namespace

TEST(JpegDecoderTest, StopEndsTheDecodeAtOnce) {
  for (bool progressive : {false, true}) {
    const auto jpeg = StopTestPicture(progressive);
    for (int stopAt : {1, 2, 7, 40}) {
      int asked = 0;
      ImageDecodingLimits limits;
      limits.stop = [&] { return ++asked >= stopAt; };
      EXPECT_FALSE(DecodeJpegImage(jpeg.data(), jpeg.size(), limits)) << progressive << " " << stopAt;
      // Nothing more was decoded (nor asked) once the answer was yes.
      EXPECT_EQ(asked, stopAt) << progressive;
    }
  }
}

TEST(JpegDecoderTest, StopThatNeverSaysYesChangesNothing) {
  for (bool progressive : {false, true}) {
    const auto jpeg = StopTestPicture(progressive);
    int asked = 0;
    ImageDecodingLimits limits;
    limits.stop = [&] { return ++asked < 0; };
    auto watched = DecodeJpegImage(jpeg.data(), jpeg.size(), limits);
    auto plain = Decode(jpeg);
    ASSERT_TRUE(watched);
    ASSERT_TRUE(plain);
    ASSERT_EQ(watched->ByteSize(), plain->ByteSize());
    EXPECT_EQ(std::memcmp(watched->Pixels(), plain->Pixels(), size_t(plain->ByteSize())), 0);
    // Asked at least once for every row group (at most 16 rows) and, when progressive,
    // every scan: a cancel is noticed within a row group of work.
    EXPECT_GE(asked, 96 / 16 + (progressive ? 10 : 0)) << progressive;
  }
}

TEST(JpegDecoderTest, StopThatThrowsEndsTheDecodeWithoutEscaping) {
  const auto jpeg = StopTestPicture(true);
  for (int throwAt : {1, 5}) {
    int asked = 0;
    ImageDecodingLimits limits;
    limits.stop = [&]() -> bool {
      if (++asked >= throwAt) throw std::runtime_error("stop question failed");
      return false;
    };
    std::unique_ptr<Image> image;
    EXPECT_NO_THROW(image = DecodeJpegImage(jpeg.data(), jpeg.size(), limits));
    EXPECT_FALSE(image);
    EXPECT_EQ(asked, throwAt);
  }
}

// One decoder kept across pictures gives, picture for picture, what a fresh decode
// gives: a failure, a refusal or a stop part-way leaves nothing behind for the next.
TEST(JpegDecoderTest, KeptDecoderMatchesFreshDecodesAfterEveryKindOfEnd) {
  JpegOptions grey;
  grey.components = 1;
  JpegOptions cmyk;
  cmyk.components = 4;
  const auto colour = StopTestPicture(false);
  const auto progressive = StopTestPicture(true);
  auto truncated = progressive;
  truncated.resize(truncated.size() / 2);
  auto garbage = colour;
  for (size_t i = 20; i < garbage.size(); i += 7) garbage[i] = uint8_t(garbage[i] * 31 + 5);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int stopAt;  // 0: never asked to stop
    int64_t maxPixels;
  };
  const Case cases[] = {
      {"colour", colour, 0, int64_t(1) << 24},
      {"stopped at once", progressive, 1, int64_t(1) << 24},
      {"colour after a stop", colour, 0, int64_t(1) << 24},
      {"stopped part-way", progressive, 12, int64_t(1) << 24},
      {"progressive", progressive, 0, int64_t(1) << 24},
      {"truncated", truncated, 0, int64_t(1) << 24},
      {"damaged", garbage, 0, int64_t(1) << 24},
      {"four components", EncodeJpeg(8, 8, [](int, int) { return Rgb{40, 0, 0}; }, cmyk), 0, int64_t(1) << 24},
      {"grey", EncodeJpeg(13, 9, [](int x, int) { return Rgb{uint8_t(x * 19), 0, 0}; }, grey), 0, int64_t(1) << 24},
      {"too many pixels", colour, 0, 100},
      {"not a picture", std::vector<uint8_t>(64, 0x11), 0, int64_t(1) << 24},
      {"colour at the end", colour, 0, int64_t(1) << 24},
  };
  JpegDecoder kept;
  for (const Case& c : cases) {
    int askedKept = 0, askedFresh = 0;
    ImageDecodingLimits keptLimits, freshLimits;
    keptLimits.maxPixels = freshLimits.maxPixels = c.maxPixels;
    if (c.stopAt > 0) {
      keptLimits.stop = [&] { return ++askedKept >= c.stopAt; };
      freshLimits.stop = [&] { return ++askedFresh >= c.stopAt; };
    }
    const auto mine = kept.Decode(c.bytes.data(), c.bytes.size(), keptLimits);
    const auto fresh = DecodeJpegImage(c.bytes.data(), c.bytes.size(), freshLimits);
    ASSERT_EQ(static_cast<bool>(mine), static_cast<bool>(fresh)) << c.what;
    EXPECT_EQ(askedKept, askedFresh) << c.what;
    if (!fresh) continue;
    ASSERT_EQ(mine->Width(), fresh->Width()) << c.what;
    ASSERT_EQ(mine->Height(), fresh->Height()) << c.what;
    EXPECT_EQ(std::memcmp(mine->Pixels(), fresh->Pixels(), size_t(fresh->ByteSize())), 0) << c.what;
  }
  EXPECT_EQ(kept.CreatedCount(), 1);
}
