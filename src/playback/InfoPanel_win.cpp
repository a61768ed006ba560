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

// The values' strip: the panel's free area under the display, on its surface.
constexpr RECT kValuesArea = {1, 150, 208, 179};
constexpr COLORREF kSurfaceColour = RGB(0x23, 0x27, 0x2C);
constexpr COLORREF kLabelColour = RGB(0x7D, 0x86, 0x90);
constexpr COLORREF kValueColour = RGB(0xFF, 0xB4, 0x3C);
constexpr int kValueRows[] = {2, 15};  // rows of the strip's two lines

HFONT MakeValueFont() {
  return CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
}

void Text(HDC dc, int x, int y, COLORREF colour, const std::wstring& text) {
  SetTextColor(dc, colour);
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

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
      timeGlyphs_(LoadGlyphs(kTimeArt)),
      valueFont_(MakeValueFont()) {
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

drivevalues::Texts InfoPanel::currentValues() const {
  const IVideoInfo* info = source_.info();
  return drivevalues::ForEntry(info != nullptr ? info->GetEntry(source_.currentFrame()) : nullptr);
}

void InfoPanel::setValuesShown(bool shown) {
  if (shown == valuesShown_) return;
  valuesShown_ = shown;
  if (handle() == nullptr) return;
  InvalidateRect(handle(), &kValuesArea, TRUE);
  UpdateWindow(handle());
}

void InfoPanel::paint(HDC dc) const {
  if (valuesShown_) drawValues(dc);
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

// Drawn whole into a strip of its own and copied, so the values change without a flicker.
void InfoPanel::drawValues(HDC dc) const {
  const int width = kValuesArea.right - kValuesArea.left;
  const int height = kValuesArea.bottom - kValuesArea.top;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !bitmap) return;
  ScopedSelection selected(memory.get(), bitmap.get());
  const RECT all = {0, 0, width, height};
  ScopedGdiObject surface(CreateSolidBrush(kSurfaceColour));
  FillRect(memory.get(), &all, static_cast<HBRUSH>(surface.get()));
  ScopedSelection font(memory.get(), valueFont_.get());
  SetBkMode(memory.get(), TRANSPARENT);
  const drivevalues::Texts v = currentValues();
  Text(memory.get(), 11, kValueRows[0], kValueColour, v.speed);
  const struct {
    int x, row;
    const wchar_t* label;
    const std::wstring& value;
  } cells[] = {{135, 0, L"G", v.total}, {11, 1, L"X", v.x}, {73, 1, L"Y", v.y}, {135, 1, L"Z", v.z}};
  for (const auto& c : cells) {
    Text(memory.get(), c.x, kValueRows[c.row], kLabelColour, c.label);
    Text(memory.get(), c.x + 12, kValueRows[c.row], kValueColour, c.value);
  }
  BitBlt(dc, kValuesArea.left, kValuesArea.top, width, height, memory.get(), 0, 0, SRCCOPY);
}
