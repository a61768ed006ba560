#pragma once
// The date and time the information panel shows for a frame, and where its digit
// pictures go: text laid out left to right, one picture per character that has one.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace frametime {

// "YYYY/MM/DD" and "HH:MM:SS" in local time.
struct Texts {
  std::wstring date;
  std::wstring time;
  bool operator==(const Texts& o) const { return date == o.date && time == o.time; }
};

// "----/--/--" and "--:--:--": nothing loaded, no entry, or no time.
Texts Placeholders();
// The texts of calendar time `time`; the placeholders for 0 or a time the system
// cannot convert.
Texts ForTime(int64_t time);

// A digit set has twelve pictures: the digits 0 to 9, the dash, and the set's separator.
constexpr int kGlyphCount = 12;
constexpr int kDashGlyph = 10;
constexpr int kSeparatorGlyph = 11;

// The picture of `c` in a set whose separator is `separator`, or -1.
int GlyphIndex(wchar_t c, wchar_t separator);

struct GlyphSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct Placement {
  int glyph = 0;
  int32_t x = 0;
};

// The pictures of a text side by side. `height` is the last picture's: the block that is
// copied to the panel. Without any picture placed the run is empty and nothing is copied.
struct Run {
  std::vector<Placement> glyphs;
  int32_t width = 0;
  int32_t height = 0;
  bool empty() const { return glyphs.empty(); }
};

// Characters without a picture, and pictures that could not be loaded (size 0), are
// skipped.
Run LayOut(const std::wstring& text, wchar_t separator,
           const std::array<GlyphSize, kGlyphCount>& sizes);

}  // namespace frametime
