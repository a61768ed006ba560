#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>

#include "TestPictures.h"
#include "toolkit/ImageDecoding.h"

using testpictures::EncodePng;
using testpictures::PngOptions;
using testpictures::Rgb;

namespace {

// Bytes (blue, green, red, fourth) of the pixel at x, counting rows from the top.
std::vector<int> Pixel(const Image& image, int x, int yFromTop) {
  const uint8_t* p = image.Pixels() + (size_t(image.Height() - 1 - yFromTop) * image.Width() + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

std::unique_ptr<Image> Decode(const std::vector<uint8_t>& bytes) {
  return DecodePngImage(bytes.data(), bytes.size());
}

// RGB samples with a distinct value in every channel of every pixel.
std::vector<uint16_t> RgbRamp(int width, int height, int maxValue) {
  std::vector<uint16_t> s;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      s.push_back(uint16_t((x * 37 + y * 11) % (maxValue + 1)));
      s.push_back(uint16_t((x * 5 + y * 71 + 3) % (maxValue + 1)));
      s.push_back(uint16_t((x * 91 + y * 13 + 9) % (maxValue + 1)));
    }
  }
  return s;
}

PngOptions Format(int colorType, int bitDepth, bool interlaced = false) {
  PngOptions o;
  o.colorType = colorType;
  o.bitDepth = bitDepth;
  o.interlaced = interlaced;
  return o;
}

}  // namespace

TEST(PngDecoderTest, RgbWithoutTransparencyIsBottomUpBgrWithZeroFourthByte) {
  const int w = 5, h = 3;
  auto samples = RgbRamp(w, h, 255);
  auto image = Decode(EncodePng(w, h, samples, PngOptions()));
  ASSERT_TRUE(image);
  ASSERT_EQ(image->ByteSize(), w * h * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint16_t* s = &samples[(size_t(y) * w + x) * 3];
      ASSERT_EQ(Pixel(*image, x, y), (std::vector<int>{s[2], s[1], s[0], 0})) << x << "," << y;
    }
  }
  // The buffer's first pixel is the file's bottom-left one.
  EXPECT_EQ(image->Pixels()[2], samples[size_t(h - 1) * w * 3]);
}

TEST(PngDecoderTest, SixteenBitKeepsTheHighByte) {
  const int w = 4, h = 4;
  auto samples = RgbRamp(w, h, 65535);
  for (auto& v : samples) v = uint16_t(v * 251 + 0x7F);  // low bytes that would round differently
  auto image = Decode(EncodePng(w, h, samples, Format(2, 16)));
  ASSERT_TRUE(image);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint16_t* s = &samples[(size_t(y) * w + x) * 3];
      ASSERT_EQ(Pixel(*image, x, y), (std::vector<int>{s[2] >> 8, s[1] >> 8, s[0] >> 8, 0}));
    }
  }
}

TEST(PngDecoderTest, PaletteWithTransparencyCarriesAlpha) {
  PngOptions o;
  o.colorType = 3;
  o.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  o.paletteAlpha = {0, 128};  // the third entry stays opaque
  auto image = Decode(EncodePng(3, 1, {0, 1, 2}, o));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixel(*image, 0, 0), (std::vector<int>{0, 0, 255, 0}));
  EXPECT_EQ(Pixel(*image, 1, 0), (std::vector<int>{0, 255, 0, 128}));
  EXPECT_EQ(Pixel(*image, 2, 0), (std::vector<int>{255, 0, 0, 255}));
}

TEST(PngDecoderTest, PaletteWithoutTransparencyHasZeroFourthByte) {
  PngOptions o;
  o.colorType = 3;
  o.bitDepth = 2;
  o.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
  auto image = Decode(EncodePng(5, 1, {3, 2, 1, 0, 3}, o));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixel(*image, 0, 0), (std::vector<int>{120, 110, 100, 0}));
  EXPECT_EQ(Pixel(*image, 3, 0), (std::vector<int>{30, 20, 10, 0}));
}

TEST(PngDecoderTest, LowBitGreyIsScaledToFullRange) {
  struct Case { int depth; uint16_t value; int expected; };
  for (Case c : {Case{1, 1, 255}, Case{2, 2, 0xAA}, Case{4, 0x9, 0x99}, Case{8, 77, 77}, Case{16, 0xABCD, 0xAB}}) {
    PngOptions o;
    o.colorType = 0;
    o.bitDepth = c.depth;
    auto image = Decode(EncodePng(3, 1, {0, c.value, 0}, o));
    ASSERT_TRUE(image) << c.depth;
    EXPECT_EQ(Pixel(*image, 1, 0), (std::vector<int>{c.expected, c.expected, c.expected, 0})) << c.depth;
    EXPECT_EQ(Pixel(*image, 0, 0), (std::vector<int>{0, 0, 0, 0})) << c.depth;
  }
}

TEST(PngDecoderTest, GreyAndRgbTransparentColourBecomesAlpha) {
  PngOptions grey;
  grey.colorType = 0;
  grey.bitDepth = 4;
  grey.transparent = {5};
  auto g = Decode(EncodePng(2, 1, {5, 6}, grey));
  ASSERT_TRUE(g);
  EXPECT_EQ(Pixel(*g, 0, 0), (std::vector<int>{0x55, 0x55, 0x55, 0}));
  EXPECT_EQ(Pixel(*g, 1, 0), (std::vector<int>{0x66, 0x66, 0x66, 255}));

  PngOptions rgb;
  rgb.bitDepth = 16;
  rgb.transparent = {0x1234, 0x5678, 0x9ABC};
  // The second pixel differs only in a low byte: it is not the transparent colour.
  auto c = Decode(EncodePng(2, 1, {0x1234, 0x5678, 0x9ABC, 0x1234, 0x5678, 0x9ABD}, rgb));
  ASSERT_TRUE(c);
  EXPECT_EQ(Pixel(*c, 0, 0), (std::vector<int>{0x9A, 0x56, 0x12, 0}));
  EXPECT_EQ(Pixel(*c, 1, 0), (std::vector<int>{0x9A, 0x56, 0x12, 255}));
}

TEST(PngDecoderTest, GreyWithAlphaBecomesFourBytesPerPixel) {
  PngOptions o;
  o.colorType = 4;
  auto image = Decode(EncodePng(3, 2, {10, 200, 20, 100, 30, 0, 40, 255, 50, 1, 60, 2}, o));
  ASSERT_TRUE(image);
  ASSERT_EQ(image->ByteSize(), 24);
  EXPECT_EQ(Pixel(*image, 0, 0), (std::vector<int>{10, 10, 10, 200}));
  EXPECT_EQ(Pixel(*image, 2, 1), (std::vector<int>{60, 60, 60, 2}));
}

TEST(PngDecoderTest, RgbaKeepsAlpha) {
  PngOptions o;
  o.colorType = 6;
  auto image = Decode(EncodePng(1, 2, {1, 2, 3, 4, 5, 6, 7, 8}, o));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixel(*image, 0, 0), (std::vector<int>{3, 2, 1, 4}));
  EXPECT_EQ(Pixel(*image, 0, 1), (std::vector<int>{7, 6, 5, 8}));
}

TEST(PngDecoderTest, InterlacedDecodesLikeStraight) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{9, 7}, std::pair{33, 17}}) {
    auto samples = RgbRamp(w, h, 65535);
    PngOptions straight = Format(2, 16);
    PngOptions interlaced = Format(2, 16, true);
    auto a = Decode(EncodePng(w, h, samples, straight));
    auto b = Decode(EncodePng(w, h, samples, interlaced));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    ASSERT_EQ(a->ByteSize(), b->ByteSize());
    EXPECT_EQ(std::memcmp(a->Pixels(), b->Pixels(), size_t(a->ByteSize())), 0) << w << "x" << h;
  }
}

TEST(PngDecoderTest, BrokenFilesGiveNoImage) {
  auto good = EncodePng(6, 4, RgbRamp(6, 4, 255), PngOptions());
  ASSERT_TRUE(Decode(good));
  EXPECT_FALSE(DecodePngImage(nullptr, 0));
  EXPECT_FALSE(DecodePngImage(good.data(), 5));  // a signature prefix and nothing else
  EXPECT_FALSE(DecodePngImage(good.data(), good.size() - 30));  // image data cut short

  auto badSignature = good;
  badSignature[1] = 'Q';
  EXPECT_FALSE(Decode(badSignature));

  auto badCrc = good;
  badCrc[8 + 8 + 3] ^= 1;  // a byte of the header chunk's data
  EXPECT_FALSE(Decode(badCrc));

  // Header fields no decoder may accept, each with a correct checksum: bit depths 0,
  // 3 and 99, colour types 1 and 9, palette at 16 bits, an unknown compression method.
  struct Field { size_t offset; uint8_t value; };
  for (Field f : {Field{24, 0}, Field{24, 3}, Field{24, 99}, Field{25, 1}, Field{25, 9},
                  Field{26, 1}}) {
    auto bad = good;
    bad[f.offset] = f.value;
    testpictures::FixPngChunkCrc(bad, 8);
    EXPECT_FALSE(Decode(bad)) << "byte " << f.offset << " = " << int(f.value);
  }
  auto palette16 = good;
  palette16[24] = 16;
  palette16[25] = 3;
  testpictures::FixPngChunkCrc(palette16, 8);
  EXPECT_FALSE(Decode(palette16));

  // No image data at all: the header chunk, then the end chunk.
  std::vector<uint8_t> noData(good.begin(), good.begin() + 33);
  noData.insert(noData.end(), good.end() - 12, good.end());
  EXPECT_FALSE(Decode(noData));

  // A damaged image data checksum.
  auto badDataCrc = good;
  badDataCrc[good.size() - 12 - 1] ^= 0x40;  // last CRC byte of the image data chunk
  EXPECT_FALSE(Decode(badDataCrc));
}

TEST(PngDecoderTest, HugeDeclaredSizeIsRefused) {
  auto png = EncodePng(2, 2, RgbRamp(2, 2, 255), PngOptions());
  auto setSize = [&](uint32_t w, uint32_t h) {
    auto copy = png;
    for (int i = 0; i < 4; ++i) {
      copy[16 + i] = uint8_t(w >> (24 - 8 * i));
      copy[20 + i] = uint8_t(h >> (24 - 8 * i));
    }
    testpictures::FixPngChunkCrc(copy, 8);
    return copy;
  };
  EXPECT_FALSE(Decode(setSize(60000, 60000)));   // beyond 32-bit byte counts
  EXPECT_FALSE(Decode(setSize(12000, 12000)));   // fits, but beyond the pixel cap
  ImageDecodingLimits tight;
  tight.maxPixels = 3;
  auto small = setSize(2, 2);
  EXPECT_FALSE(DecodePngImage(small.data(), small.size(), tight));
  tight.maxPixels = 4;
  EXPECT_TRUE(DecodePngImage(small.data(), small.size(), tight));
}

namespace {

// A chunk with the given type and data, its length and CRC as they should be.
std::vector<uint8_t> Chunk(const char* type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> c = {uint8_t(data.size() >> 24), uint8_t(data.size() >> 16), uint8_t(data.size() >> 8),
                            uint8_t(data.size())};
  c.insert(c.end(), type, type + 4);
  c.insert(c.end(), data.begin(), data.end());
  c.resize(c.size() + 4);
  testpictures::FixPngChunkCrc(c, 0);
  return c;
}

}  // namespace

TEST(PngDecoderTest, AncillaryChunksCostNothing) {
  auto png = EncodePng(4, 3, RgbRamp(4, 3, 255), PngOptions());
  const size_t afterHeader = 8 + 25;
  // A real 3 MB text chunk before the image data is skipped, not refused.
  auto withText = png;
  auto text = Chunk("tEXt", std::vector<uint8_t>(3 << 20, 'a'));
  withText.insert(withText.begin() + afterHeader, text.begin(), text.end());
  auto image = Decode(withText);
  ASSERT_TRUE(image);
  auto plain = Decode(png);
  EXPECT_EQ(std::memcmp(image->Pixels(), plain->Pixels(), size_t(plain->ByteSize())), 0);

  // A few bytes declaring a gigabyte of text: refused at once, nothing allocated for it.
  for (const char* type : {"tEXt", "zTXt", "iCCP", "sPLT", "juNk"}) {
    auto huge = std::vector<uint8_t>(png.begin(), png.begin() + afterHeader);
    const uint8_t declared[] = {0x3F, 0xFF, 0xFF, 0xFF};
    huge.insert(huge.end(), declared, declared + 4);
    huge.insert(huge.end(), type, type + 4);
    huge.insert(huge.end(), 16, 'x');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Decode(huge)) << type;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << type;
  }
}

TEST(PngDecoderTest, SameBytesDecodeToSameBuffer) {
  auto png = EncodePng(7, 5, RgbRamp(7, 5, 255), Format(2, 8, true));
  auto a = Decode(png);
  auto b = Decode(png);
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_EQ(std::memcmp(a->Pixels(), b->Pixels(), size_t(a->ByteSize())), 0);
}

TEST(PngDecoderTest, DamagedBytesNeverCrash) {
  PngOptions o;
  o.colorType = 3;
  o.bitDepth = 4;
  o.interlaced = true;
  for (int i = 0; i < 16; ++i) o.palette.push_back(Rgb{uint8_t(i * 16), uint8_t(255 - i), 7});
  o.paletteAlpha = {1, 2, 3};
  std::vector<uint16_t> samples;
  for (int i = 0; i < 20 * 12; ++i) samples.push_back(uint16_t(i * 7 % 16));
  auto png = EncodePng(20, 12, samples, o);
  std::mt19937 random(99);
  for (int round = 0; round < 300; ++round) {
    auto damaged = png;
    const int hits = 1 + int(random() % 4);
    for (int k = 0; k < hits; ++k) damaged[8 + random() % (damaged.size() - 8)] = uint8_t(random());
    if (round % 4 == 0) damaged.resize(random() % damaged.size());
    auto image = Decode(damaged);
    if (image) {
      ASSERT_EQ(image->ByteSize(), image->Width() * image->Height() * 4);
    }
  }
}
