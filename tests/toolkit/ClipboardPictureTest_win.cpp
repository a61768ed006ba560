// The clipboard's form of a picture, byte for byte: a 24-bit bottom-up DIB whose rows
// are padded to four bytes. Putting it on the clipboard is seen end to end.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "toolkit/ClipboardPicture_win.h"
#include "toolkit/Image.h"

TEST(ClipboardPictureTest, APackedDibHoldsTheRowsBottomUpPaddedToFourBytes) {
  // 2 x 2: the buffer's first row is the picture's bottom row, as in the DIB.
  Image image(2, 2);
  const uint8_t pixels[16] = {1, 2, 3, 0xAA, 4, 5, 6, 0xBB, 7, 8, 9, 0xCC, 10, 11, 12, 0xDD};
  std::memcpy(image.Pixels(), pixels, sizeof pixels);
  const std::vector<uint8_t> dib = PackedDib(image);
  BITMAPINFOHEADER header;
  ASSERT_EQ(dib.size(), sizeof header + 16);
  std::memcpy(&header, dib.data(), sizeof header);
  EXPECT_EQ(header.biSize, sizeof header);
  EXPECT_EQ(header.biWidth, 2);
  EXPECT_EQ(header.biHeight, 2) << "positive: bottom-up";
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 16u);
  EXPECT_EQ(header.biClrUsed, 0u);
  const std::vector<uint8_t> rows(dib.begin() + sizeof header, dib.end());
  EXPECT_EQ(rows, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}));
}
