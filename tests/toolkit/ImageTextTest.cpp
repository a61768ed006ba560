// The built-in bitmap font and the JPEG encoder: what burns text into a picture and
// encodes it again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolkit/BitmapFont.h"
#include "toolkit/Image.h"
#include "toolkit/ImageDecoding.h"
#include "toolkit/JpegDecoder.h"
#include "toolkit/JpegEncoder.h"

namespace {

TEST(BitmapFont, DrawsGlyphsScaledAndClipped) {
  const int w = 20, h = 20;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 0);
  BitmapFont::Draw(rgb.data(), w, h, 0, 0, "8", 2, 255, 255, 255);
  int bits = 0;
  for (int r = 0; r < BitmapFont::kGlyphHeight; ++r) {
    for (uint8_t v = BitmapFont::Glyph('8')[r]; v; v &= v - 1) ++bits;
  }
  EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 255), bits * 4 * 3);
  // Text running off every border writes only inside the picture (the sanitizer
  // build catches a stray write).
  std::fill(rgb.begin(), rgb.end(), 0);
  BitmapFont::Draw(rgb.data(), w, h, -7, -9, "88:88", 3, 1, 2, 3);
  BitmapFont::Draw(rgb.data(), w, h, 15, 17, "88:88", 3, 1, 2, 3);
  EXPECT_GT(std::count(rgb.begin(), rgb.end(), 2), 0);
  // Unknown characters are blank rather than garbage.
  EXPECT_TRUE(std::all_of(BitmapFont::Glyph('~'), BitmapFont::Glyph('~') + 7,
                          [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(BitmapFont::TextWidth("12", 2), 22);
}

TEST(BitmapFont, DrawsIntoAnImageFromItsTopRow) {
  // The image's rows are stored bottom-up: text at y = 0 lands in the last stored rows.
  Image image(12, 10);
  BitmapFont::Draw(image, 0, 0, "1", 1, 10, 20, 30);
  const uint8_t* rows = BitmapFont::Glyph('1');
  for (int gy = 0; gy < BitmapFont::kGlyphHeight; ++gy) {
    for (int gx = 0; gx < BitmapFont::kGlyphWidth; ++gx) {
      const uint8_t* p = image.Pixels() + (static_cast<size_t>(9 - gy) * 12 + static_cast<size_t>(gx)) * 4;
      const bool on = (rows[gy] & (0x10 >> gx)) != 0;
      EXPECT_EQ(p[0], on ? 30 : 0) << gx << "," << gy;
      EXPECT_EQ(p[2], on ? 10 : 0) << gx << "," << gy;
    }
  }
  // Clipped on every side without a stray write.
  BitmapFont::Draw(image, -4, -5, "88", 2, 1, 1, 1);
  BitmapFont::Draw(image, 8, 7, "88", 2, 1, 1, 1);
}

// A picture with smooth gradients and a sharp edge, as a camera's would have.
std::unique_ptr<Image> TestPicture(int w, int h) {
  auto image = std::make_unique<Image>(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = image->Pixels() + (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4;
      p[0] = static_cast<uint8_t>(x * 255 / w);
      p[1] = static_cast<uint8_t>(y * 255 / h);
      p[2] = static_cast<uint8_t>(x < w / 2 ? 40 : 220);
      p[3] = 0xFF;
    }
  }
  return image;
}

TEST(JpegEncoder, AnImageEncodesToWhatDecodesBackCloseAndTheSameBytesEachTime) {
  const auto image = TestPicture(64, 48);
  JpegEncoder encoder;
  std::vector<uint8_t> first, second;
  encoder.Encode(*image, 92, first);
  encoder.Encode(*image, 92, second);
  EXPECT_EQ(first, second);
  ASSERT_GT(first.size(), 4u);
  EXPECT_EQ(first[0], 0xFF);
  EXPECT_EQ(first[1], 0xD8);

  // The same picture handed over as top-down RGB gives the same stream.
  std::vector<uint8_t> rgb;
  for (int y = image->Height() - 1; y >= 0; --y) {
    for (int x = 0; x < image->Width(); ++x) {
      const uint8_t* p = image->Pixels() + (static_cast<size_t>(y) * 64 + static_cast<size_t>(x)) * 4;
      rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    }
  }
  EXPECT_EQ(JpegEncoder::Encode(rgb.data(), 64, 48, 92), first);

  JpegDecoder decoder;
  const auto back = decoder.Decode(first.data(), first.size(), ImageDecodingLimits());
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 64);
  ASSERT_EQ(back->Height(), 48);
  int worst = 0;
  for (int32_t i = 0; i < back->ByteSize(); ++i) {
    if (i % 4 == 3) continue;
    worst = std::max(worst, std::abs(int(back->Pixels()[i]) - int(image->Pixels()[i])));
  }
  EXPECT_LE(worst, 40);
}

TEST(JpegEncoder, AFailedEncodeLeavesTheEncoderReady) {
  JpegEncoder encoder;
  std::vector<uint8_t> out;
  Image empty(0, 0);
  EXPECT_THROW(encoder.Encode(empty, 92, out), std::runtime_error);
  const auto image = TestPicture(16, 16);
  encoder.Encode(*image, 50, out);
  EXPECT_GT(out.size(), 100u);
}

}  // namespace
