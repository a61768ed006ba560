// The PNG encoder against the project's own PNG reader: the pixels come back one for
// one, whatever the picture's shape, and the fourth byte never reaches the file.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "toolkit/ImageDecoding.h"
#include "toolkit/PngEncoder.h"

namespace {

// Distinct colours in every pixel, and a fourth byte that varies, so that a row read
// upside down, a swapped channel or an alpha written by mistake all show.
std::unique_ptr<Image> Ramp(int width, int height) {
  auto image = std::make_unique<Image>(width, height);
  uint8_t* p = image->Pixels();
  for (int i = 0; i < width * height; ++i, p += 4) {
    p[0] = static_cast<uint8_t>(i * 7);
    p[1] = static_cast<uint8_t>(i * 13 + 1);
    p[2] = static_cast<uint8_t>(i * 29 + 2);
    p[3] = static_cast<uint8_t>(i);
  }
  return image;
}

}  // namespace

TEST(PngEncoderTest, ThePixelsComeBackOneForOneWithoutAlpha) {
  const struct {
    int width, height;
  } shapes[] = {{1, 1}, {3, 2}, {5, 7}, {640, 480}};
  for (const auto& s : shapes) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    const std::unique_ptr<Image> picture = Ramp(s.width, s.height);
    const std::vector<uint8_t> png = EncodePngImage(*picture);
    // An RGB file (colour type 2), 8 bits a sample: byte 24 is the depth, 25 the type.
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 2) << "no alpha channel";
    const std::unique_ptr<Image> back = DecodePngImage(png.data(), png.size());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->Width(), s.width);
    ASSERT_EQ(back->Height(), s.height);
    int wrong = 0;
    for (int i = 0; i < s.width * s.height; ++i) {
      const uint8_t* a = picture->Pixels() + i * 4;
      const uint8_t* b = back->Pixels() + i * 4;
      // The reader gives 0 as the fourth byte of a file without alpha.
      if (std::memcmp(a, b, 3) != 0 || b[3] != 0) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PngEncoderTest, APictureWithoutPixelsIsRefused) {
  EXPECT_THROW(EncodePngImage(Image(0, 0)), std::runtime_error);
  EXPECT_THROW(EncodePngImage(Image(4, 0)), std::runtime_error);
}
