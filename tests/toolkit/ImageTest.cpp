#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>

#include "TestPictures.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/GammaCorrection.h"
#include "toolkit/Image.h"

TEST(ImageTest, CloneIsAnEqualButIndependentCopy) {
  Image image(3, 2);
  ASSERT_EQ(image.ByteSize(), 24);
  for (int i = 0; i < image.ByteSize(); ++i) image.Pixels()[i] = uint8_t(i * 7);
  auto copy = image.Clone();
  ASSERT_EQ(copy->Width(), 3);
  ASSERT_EQ(copy->Height(), 2);
  ASSERT_EQ(copy->ByteSize(), 24);
  EXPECT_NE(copy->Pixels(), image.Pixels());
  EXPECT_EQ(std::memcmp(copy->Pixels(), image.Pixels(), 24), 0);
  copy->Pixels()[5] ^= 0xFF;
  EXPECT_EQ(image.Pixels()[5], uint8_t(35));
}

TEST(ImageTest, EmptyPictureClones) {
  Image image(0, 0);
  EXPECT_EQ(image.ByteSize(), 0);
  auto copy = image.Clone();
  EXPECT_EQ(copy->ByteSize(), 0);
}

TEST(ImageTest, RefusesSizesTheByteCountCannotHold) {
  EXPECT_TRUE(Image::FitsSize(16384, 32767));
  EXPECT_FALSE(Image::FitsSize(32768, 16384));  // 2^31 bytes: one past the limit
  EXPECT_FALSE(Image::FitsSize(65535, 65535));
  EXPECT_FALSE(Image::FitsSize(-1, 10));
  EXPECT_FALSE(Image::FitsSize(10, -1));
  EXPECT_FALSE(Image::FitsSize(int64_t(1) << 40, 1));
  EXPECT_THROW(Image(65535, 65535), std::length_error);
  EXPECT_THROW(Image(-4, 4), std::length_error);
}

TEST(GammaCorrectionTest, TableFollowsTheCurve) {
  GammaCorrection gamma;
  gamma.SetGamma(1.2);
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 1.2);
  EXPECT_EQ(gamma.TableAt(128), 144);
  EXPECT_EQ(gamma.TableAt(64), 81);
  for (int i = 1; i < 256; ++i) ASSERT_GE(gamma.TableAt(i), gamma.TableAt(i - 1)) << i;
  gamma.SetGamma(0.5);
  EXPECT_LT(gamma.TableAt(128), 128);  // below 1 darkens
}

TEST(GammaCorrectionTest, ClampsAndKeepsTheEnds) {
  GammaCorrection gamma;
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 1.0);
  gamma.SetGamma(0.05);
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 0.1);
  gamma.SetGamma(7);
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 5.0);
  gamma.SetGamma(5.0);
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 5.0);
  EXPECT_EQ(gamma.TableAt(1), 84);
  gamma.SetGamma(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 5.0);
  gamma.SetGamma(-std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(gamma.Gamma(), 0.1);
  for (double g : {0.1, 0.7, 1.0, 2.3, 5.0}) {
    gamma.SetGamma(g);
    EXPECT_EQ(gamma.TableAt(0), 0) << g;
    EXPECT_EQ(gamma.TableAt(255), 255) << g;
  }
}

TEST(GammaCorrectionTest, ApplyRewritesColoursOnlyAndSkipsGammaOne) {
  Image image(5, 3);  // 15 pixels, width not a multiple of 4
  for (int i = 0; i < image.ByteSize(); ++i) image.Pixels()[i] = uint8_t(i * 17);
  auto before = image.Clone();

  GammaCorrection gamma;
  gamma.SetGamma(1.0);
  gamma.Apply(image);
  EXPECT_EQ(std::memcmp(image.Pixels(), before->Pixels(), size_t(image.ByteSize())), 0);

  gamma.SetGamma(1.2);
  gamma.Apply(image);
  for (int i = 0; i < image.ByteSize(); ++i) {
    const uint8_t original = before->Pixels()[i];
    if (i % 4 == 3) {
      ASSERT_EQ(image.Pixels()[i], original) << "fourth byte changed at " << i;
    } else {
      ASSERT_EQ(image.Pixels()[i], gamma.TableAt(original)) << i;
    }
  }
}

// The copying pass reads two bytes at once through its own table: every blue-green pair
// and every length around its four-pixel rounds must give what the byte table gives.
TEST(GammaCorrectionTest, CopyCorrectedMatchesTheByteTableForEveryPairAndLength) {
  struct Case {
    int width, height;
  };
  const Case cases[] = {{256, 256}, {1, 1}, {3, 1}, {4, 1}, {5, 1}, {7, 1}, {0, 0}};
  for (double g : {0.1, 0.8, 1.2, 5.0}) {
    GammaCorrection gamma;
    gamma.SetGamma(g);
    for (const Case& c : cases) {
      Image source(c.width, c.height), target(c.width, c.height);
      uint8_t* p = source.Pixels();
      for (int i = 0; i < c.width * c.height; ++i) {
        p[4 * i] = uint8_t(i);             // with green, every pair once in 256 x 256
        p[4 * i + 1] = uint8_t(i >> 8);
        p[4 * i + 2] = uint8_t(i * 31 + 7);
        p[4 * i + 3] = uint8_t(i * 13);    // not always 0xFF: it must be kept as it is
      }
      const auto before = source.Clone();
      gamma.CopyCorrected(source, target);
      ASSERT_EQ(std::memcmp(source.Pixels(), before->Pixels(), size_t(source.ByteSize())), 0);
      for (int i = 0; i < target.ByteSize(); ++i) {
        const uint8_t in = source.Pixels()[i];
        const uint8_t want = i % 4 == 3 ? in : gamma.TableAt(in);
        ASSERT_EQ(target.Pixels()[i], want) << "gamma " << g << ", " << c.width << " x " << c.height
                                            << ", byte " << i;
      }
    }
  }
}

TEST(GammaCorrectionTest, CopyCorrectedCopiesAtGammaOneAndRefusesOtherSizes) {
  Image source(5, 2), target(5, 2);
  for (int i = 0; i < source.ByteSize(); ++i) source.Pixels()[i] = uint8_t(i * 29 + 1);
  GammaCorrection gamma;
  gamma.CopyCorrected(source, target);
  EXPECT_EQ(std::memcmp(target.Pixels(), source.Pixels(), size_t(source.ByteSize())), 0);

  Image wider(6, 2), taller(5, 3);
  EXPECT_THROW(gamma.CopyCorrected(source, wider), std::invalid_argument);
  gamma.SetGamma(1.2);
  EXPECT_THROW(gamma.CopyCorrected(source, taller), std::invalid_argument);
}

TEST(AlphaImageTest, AbsentPictureHasNoSize) {
  AlphaImage none;
  EXPECT_EQ(none.Width(), 0);
  EXPECT_EQ(none.Height(), 0);
  const uint8_t notPng[] = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  AlphaImage broken(notPng, sizeof notPng);
  EXPECT_EQ(broken.Picture(), nullptr);
  EXPECT_EQ(broken.Width(), 0);
}

TEST(AlphaImageTest, DecodesPngBytes) {
  testpictures::PngOptions o;
  auto png = testpictures::EncodePng(3, 2, std::vector<uint16_t>(18, 200), o);
  AlphaImage image(png.data(), png.size());
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(image.Height(), 2);
}

// Large pixel buffers of deleted pictures are reused; a reused buffer must never leak
// the old picture into a new one that promises zeros.
TEST(ImageTest, ReusedPixelBuffersStartZeroedWhereZeroIsPromised) {
  const uint8_t* oldBuffer = nullptr;
  {
    Image first(640, 480);
    std::memset(first.Pixels(), 0xAB, size_t(first.ByteSize()));
    oldBuffer = first.Pixels();
  }
  Image second(640, 480);
  EXPECT_EQ(second.Pixels(), oldBuffer) << "the buffer was not reused";
  for (int32_t i = 0; i < second.ByteSize(); ++i) ASSERT_EQ(second.Pixels()[i], 0) << i;

  // Clones and decoder buffers take reused memory too, and hold exactly their bytes.
  std::memset(second.Pixels(), 0x5A, size_t(second.ByteSize()));
  std::unique_ptr<Image> copy = second.Clone();
  EXPECT_EQ(std::memcmp(copy->Pixels(), second.Pixels(), size_t(second.ByteSize())), 0);
  // Other sizes never receive a buffer of the wrong size.
  Image other(641, 480);
  EXPECT_NE(other.Pixels(), oldBuffer);
}

// However many pictures of odd sizes come and go, the pool keeps no more than a few
// recorder-sized buffers: a large picture's buffer is let go, not hoarded.
TEST(ImageTest, PixelBufferPoolStaysSmall) {
  const size_t largestKept = size_t(1280) * 960 * 4;
  for (int32_t round = 0; round < 3; ++round) {
    for (int32_t side : {700, 1111, 1500, 2048, 3001}) {
      { Image gone(side + round, side); }
      const Image::PoolUsage held = Image::PooledPixels();
      EXPECT_LE(held.buffers, 4u) << side;
      EXPECT_LE(held.bytes, 4 * largestKept) << side;
    }
  }
  const Image::PoolUsage before = Image::PooledPixels();
  { Image big(1281, 960); }
  EXPECT_EQ(Image::PooledPixels().bytes, before.bytes) << "a buffer above a recorder frame was kept";
  const uint8_t* kept = nullptr;
  {
    Image frame(1280, 960);
    kept = frame.Pixels();
  }
  Image again(1280, 960);
  EXPECT_EQ(again.Pixels(), kept) << "a recorder-sized buffer was not kept";
}
