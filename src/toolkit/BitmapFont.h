#pragma once
// A tiny built-in 5x7 bitmap font. Text drawn with it is the same pixels on every system
// (no system font is asked), so a picture with burned-in text encodes to the same bytes
// in both build flavours. The simulator writes its clock into its pictures with it and
// exported clips carry their date and time band in it.
#include <cstdint>
#include <string>

class Image;

class BitmapFont {
 public:
  static constexpr int kGlyphWidth = 5;
  static constexpr int kGlyphHeight = 7;

  // The 7 rows of a glyph, bit 4 the leftmost pixel. Characters without a glyph are blank.
  static const uint8_t* Glyph(char c);

  // Draws `text` into an RGB picture (3 bytes a pixel, rows top-down) with its top-left
  // corner at (x, y), each font pixel a scale x scale square. Clipped at the borders.
  static void Draw(uint8_t* rgb, int width, int height, int x, int y, const std::string& text,
                   int scale, uint8_t r, uint8_t g, uint8_t b);
  // The same into an Image (its rows bottom-up); (x, y) counts from the top-left corner.
  static void Draw(Image& image, int x, int y, const std::string& text, int scale, uint8_t r, uint8_t g,
                   uint8_t b);

  // Width in pixels of `text` drawn at `scale` (one blank column between glyphs).
  static int TextWidth(const std::string& text, int scale);
};
