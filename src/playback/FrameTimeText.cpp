#include "playback/FrameTimeText.h"

#include <cwchar>

#include "foundation/LocalTime.h"

namespace frametime {

Texts Placeholders() { return {L"----/--/--", L"--:--:--"}; }

Texts ForTime(int64_t time) {
  LocalDateTime t;
  if (time == 0 || !ToLocalDateTime(time, t)) return Placeholders();
  wchar_t date[256];
  wchar_t clock[256];
  std::swprintf(date, 256, L"%04d/%02d/%02d", t.year, t.month, t.day);
  std::swprintf(clock, 256, L"%02d:%02d:%02d", t.hour, t.minute, t.second);
  return {date, clock};
}

int GlyphIndex(wchar_t c, wchar_t separator) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c == L'-') return kDashGlyph;
  if (c == separator) return kSeparatorGlyph;
  return -1;
}

Run LayOut(const std::wstring& text, wchar_t separator,
           const std::array<GlyphSize, kGlyphCount>& sizes) {
  Run run;
  for (wchar_t c : text) {
    const int glyph = GlyphIndex(c, separator);
    if (glyph < 0) continue;
    const GlyphSize& size = sizes[static_cast<size_t>(glyph)];
    if (size.width <= 0 || size.height <= 0) continue;
    run.glyphs.push_back({glyph, run.width});
    run.width += size.width;
    run.height = size.height;
  }
  return run;
}

}  // namespace frametime
