// Drawing into a 32-bit DIB section and reading the bytes back.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "TestPictures.h"
#include "foundation/Exception.h"
#include "foundation/TextIds.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/FindResourceData_win.h"

namespace {

constexpr int kCanvasW = 12;
constexpr int kCanvasH = 8;
constexpr uint8_t kBackground = 0x11;

// A memory DC with a top-down 32-bit DIB section selected, filled with one byte value.
class Canvas {
 public:
  Canvas() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCanvasW;
    info.bmiHeader.biHeight = -kCanvasH;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
    memset(bits, kBackground, kCanvasW * kCanvasH * 4);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  bool Ready() const { return dc && bitmap && bits; }
  // Blue, green, red at (x, y) from the top.
  std::vector<int> At(int x, int y) {
    GdiFlush();
    const uint8_t* p = bits + (y * kCanvasW + x) * 4;
    return {p[0], p[1], p[2]};
  }
  bool Untouched() {
    GdiFlush();
    for (int i = 0; i < kCanvasW * kCanvasH * 4; ++i) {
      if (bits[i] != kBackground) return false;
    }
    return true;
  }

  HDC dc = nullptr;

 private:
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint8_t* bits = nullptr;
};

// A 3 x 2 RGB picture whose pixel (x, y) has red 10 * (x + 1) + 100 * y, green x, blue y.
std::vector<uint8_t> SixPixels() {
  std::vector<uint16_t> s;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      s.push_back(uint16_t(10 * (x + 1) + 100 * y));
      s.push_back(uint16_t(x));
      s.push_back(uint16_t(y));
    }
  }
  return testpictures::EncodePng(3, 2, s, testpictures::PngOptions());
}

std::vector<int> Colour(int x, int y) { return {y, x, 10 * (x + 1) + 100 * y}; }

}  // namespace

TEST(AlphaImageDrawingTest, DrawAtCopiesAtNaturalSize) {
  Canvas canvas;
  ASSERT_TRUE(canvas.Ready());
  auto png = SixPixels();
  AlphaImage image(png.data(), png.size());
  ASSERT_EQ(image.Width(), 3);
  image.DrawAt(canvas.dc, 2, 1);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(canvas.At(2 + x, 1 + y), Colour(x, y)) << x << "," << y;
  }
  EXPECT_EQ(canvas.At(1, 1), (std::vector<int>{kBackground, kBackground, kBackground}));
  EXPECT_EQ(canvas.At(5, 1), (std::vector<int>{kBackground, kBackground, kBackground}));
  EXPECT_EQ(canvas.At(2, 3), (std::vector<int>{kBackground, kBackground, kBackground}));
}

TEST(AlphaImageDrawingTest, SourceRowZeroIsTheBottomEdge) {
  Canvas canvas;
  ASSERT_TRUE(canvas.Ready());
  auto png = SixPixels();
  AlphaImage image(png.data(), png.size());
  // Source height 1 selects the picture's bottom row; source x 1, width 1 a strip.
  image.Draw(canvas.dc, 0, 0, 3, 1, 0, 3, 1);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(canvas.At(x, 0), Colour(x, 1)) << x;
  image.Draw(canvas.dc, 0, 4, 1, 2, 1, 1, 2);
  EXPECT_EQ(canvas.At(0, 4), Colour(1, 0));
  EXPECT_EQ(canvas.At(0, 5), Colour(1, 1));
}

TEST(AlphaImageDrawingTest, DrawSizedStretchesTheWholePicture) {
  Canvas canvas;
  ASSERT_TRUE(canvas.Ready());
  SetStretchBltMode(canvas.dc, COLORONCOLOR);
  auto png = SixPixels();
  AlphaImage image(png.data(), png.size());
  image.DrawSized(canvas.dc, 0, 0, 6, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.At(x, y), Colour(x / 2, y / 2)) << x << "," << y;
  }
}

TEST(AlphaImageDrawingTest, AbsentPictureDrawsNothing) {
  Canvas canvas;
  ASSERT_TRUE(canvas.Ready());
  AlphaImage none;
  none.DrawAt(canvas.dc, 0, 0);
  none.DrawSized(canvas.dc, 0, 0, 5, 5);
  none.Draw(canvas.dc, 0, 0, 5, 5, 0, 5, 5);
  EXPECT_TRUE(canvas.Untouched());
}

TEST(FindResourceDataTest, FindsTheExecutablesOwnResource) {
  // Strings live in bundles of 16: the bundle of an id is id / 16 + 1.
  size_t size = 0;
  const void* data = FindResourceData(RT_STRING, MAKEINTRESOURCEW(kTextAppName / 16 + 1), &size);
  EXPECT_NE(data, nullptr);
  EXPECT_GT(size, 0u);
  EXPECT_NE(FindResourceData(RT_STRING, MAKEINTRESOURCEW(kTextAppName / 16 + 1)), nullptr);
}

TEST(FindResourceDataTest, MissingResourceRaisesWithTheSystemText) {
  try {
    FindResourceData(L"IMAGE", MAKEINTRESOURCEW(31999));
    FAIL() << "no exception";
  } catch (const WindowException& e) {
    EXPECT_FALSE(e.message.empty());
  }
  EXPECT_THROW(AlphaImage(31999), WindowException);
}
