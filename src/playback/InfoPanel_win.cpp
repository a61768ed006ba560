#include "playback/InfoPanel_win.h"

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"
#include "toolkit/ScopedWin_win.h"

namespace {

constexpr int kBackgroundArt = 10026;
// Digits 0 to 9, the dash and the separator.
constexpr std::array<int, frametime::kGlyphCount> kDateArt = {225, 226, 227, 228, 229, 230,
                                                              231, 232, 233, 234, 235, 224};
constexpr std::array<int, frametime::kGlyphCount> kTimeArt = {251, 252, 253, 254, 255, 256,
                                                              257, 258, 259, 260, 250, 261};
constexpr POINT kDateAt = {62, 80};
constexpr POINT kTimeAt = {20, 105};
constexpr RECT kNoticeArea = {35, 70, 170, 160};
constexpr COLORREF kNoticeColour = RGB(0, 0, 255);

InfoPanel::GlyphSet LoadGlyphs(const std::array<int, frametime::kGlyphCount>& ids) {
  InfoPanel::GlyphSet set;
  for (size_t i = 0; i < ids.size(); ++i) set[i] = std::make_unique<AlphaImage>(ids[i]);
  return set;
}

}  // namespace

InfoPanel::InfoPanel(IPlaybackOwner& owner, const IFrameSource& source)
    : source_(source),
      background_(kBackgroundArt),
      dateGlyphs_(LoadGlyphs(kDateArt)),
      timeGlyphs_(LoadGlyphs(kTimeArt)) {
  createPanel(owner.ownerWindow(), WS_CLIPCHILDREN, {});
}

InfoPanel::~InfoPanel() = default;

LRESULT InfoPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      return 0;
    case WM_PAINT: {
      ScopedPaint paint(handle());
      if (paint.get() != nullptr) this->paint(paint.get());
      return 0;
    }
    case WM_ERASEBKGND:
      eraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

frametime::Texts InfoPanel::currentTexts() const {
  const IVideoInfo* info = source_.info();
  if (info == nullptr) return frametime::Placeholders();
  const FrameEntry* entry = info->GetEntry(source_.currentFrame());
  return entry != nullptr ? frametime::ForTime(entry->time) : frametime::Placeholders();
}

void InfoPanel::paint(HDC dc) const {
  const IVideoInfo* info = source_.info();
  if (info != nullptr && info->IsInfoMissing()) {
    drawMissingInfoNotice(dc);
    return;
  }
  const frametime::Texts texts = currentTexts();
  drawGlyphs(dc, texts.date, L'/', dateGlyphs_, kDateAt.x, kDateAt.y);
  drawGlyphs(dc, texts.time, L':', timeGlyphs_, kTimeAt.x, kTimeAt.y);
}

void InfoPanel::eraseBackground(HDC dc) const {
  if (background_.Picture() != nullptr) {
    background_.DrawAt(dc, 0, 0);
    return;
  }
  RECT r;
  GetClientRect(handle(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

void InfoPanel::drawMissingInfoNotice(HDC dc) const {
  std::wstring text = LoadText(kTextFrameDataMissing);
  RECT area = kNoticeArea;
  const COLORREF colour = SetTextColor(dc, kNoticeColour);
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &area, DT_WORDBREAK);
  SetBkMode(dc, mode);
  SetTextColor(dc, colour);
}

void InfoPanel::drawGlyphs(HDC dc, const std::wstring& text, wchar_t separator,
                           const GlyphSet& glyphs, int x, int y) const {
  std::array<frametime::GlyphSize, frametime::kGlyphCount> sizes;
  for (size_t i = 0; i < sizes.size(); ++i) sizes[i] = {glyphs[i]->Width(), glyphs[i]->Height()};
  const frametime::Run run = frametime::LayOut(text, separator, sizes);
  // Without a single picture there is no block, and no height to copy.
  if (run.empty()) return;
  RECT client;
  GetClientRect(handle(), &client);
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!memory || !bitmap) return;
  ScopedSelection selected(memory.get(), bitmap.get());
  for (const frametime::Placement& p : run.glyphs) {
    glyphs[static_cast<size_t>(p.glyph)]->DrawAt(memory.get(), p.x, 0);
  }
  BitBlt(dc, x, y, run.width, run.height, memory.get(), 0, 0, SRCCOPY);
}
