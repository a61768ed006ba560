#pragma once
// A tiny built-in 5×7 bitmap font for burning text into simulated pictures, so that a
// screenshot shows which moment of which recording is on screen.
#include <cstdint>
#include <string>

namespace recsim {

class BitmapFont {
 public:
  static constexpr int kGlyphWidth = 5;
  static constexpr int kGlyphHeight = 7;

  // The 7 rows of a glyph, bit 4 the leftmost pixel. Characters without a glyph are blank.
  static const uint8_t* Glyph(char c);

  // Draws `text` into an RGB picture (3 bytes a pixel, rows top-down) with its top-left
  // corner at (x, y), each font pixel a scale × scale square. Clipped at the borders.
  static void Draw(uint8_t* rgb, int width, int height, int x, int y, const std::string& text,
                   int scale, uint8_t r, uint8_t g, uint8_t b);

  // Width in pixels of `text` drawn at `scale` (one blank column between glyphs).
  static int TextWidth(const std::string& text, int scale);
};

}  // namespace recsim
