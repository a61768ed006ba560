#include "playback/LineChart_win.h"

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/MarkedRange.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

namespace {

constexpr int kFrameLeftArt = 359;
constexpr int kFrameMiddleArt = 360;
constexpr int kFrameRightArt = 361;

constexpr COLORREF kGridColour = RGB(128, 128, 128);
constexpr COLORREF kCurveColour = RGB(255, 165, 0);
constexpr COLORREF kMarkerColour = RGB(255, 255, 0);
constexpr COLORREF kRangeColour = RGB(0x35, 0xC4, 0xE6);  // the interface's accent
constexpr int kThickLine = 2;
// The view menu's curves: each axis its own colour, the speed a light grey on its scale.
constexpr COLORREF kAxisXColour = RGB(0xE5, 0x48, 0x4D);
constexpr COLORREF kAxisYColour = RGB(0x46, 0xA7, 0x58);
constexpr COLORREF kAxisZColour = RGB(0x3E, 0x8E, 0xED);
constexpr COLORREF kSpeedColour = RGB(0xB8, 0xBE, 0xC4);
constexpr COLORREF kThresholdColour = RGB(0x5A, 0x61, 0x6A);

HFONT MakeChartFont() {
  return CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_CHARACTER_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN,
                     L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");  // the Gothic face
}

chart::Size Extent(HDC dc, const wchar_t* text) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  return {size.cx, size.cy};
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace

LineChart::LineChart(IPlaybackOwner& owner, const IFrameSource& source)
    : owner_(owner),
      source_(source),
      background_(CreateSolidBrush(RGB(0, 0, 0))),
      font_(MakeChartFont()),
      left_(kFrameLeftArt),
      middle_(kFrameMiddleArt),
      right_(kFrameRightArt) {
  createPanel(owner.ownerWindow(), 0, {});
}

LineChart::~LineChart() = default;

LRESULT LineChart::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // A minimised window reports 0 x 0: keep the layout and the drawing it had.
      if (wParam != SIZE_MINIMIZED) layOut(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT: {
      ScopedPaint paint(handle());
      if (paint.get() != nullptr) drawChart(paint.get());
      return 0;
    }
    case WM_ERASEBKGND:
      eraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      onPress(lParam);
      return 0;
    case WM_MOUSEMOVE:
      onDrag(wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      onRelease();
      return 0;
    case WM_CAPTURECHANGED:
      scrubbing_ = false;
      return 0;
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

void LineChart::layOut(int32_t width, int32_t height) {
  ScopedWindowDc dc(handle());
  {
    ScopedSelection font(dc.get(), font_.get());
    valueExtent_ = Extent(dc.get(), L"+0.00");
    countExtent_ = Extent(dc.get(), L"999");
  }
  plot_ = chart::LayOut(width, height, valueExtent_, countExtent_);
  cache_.reset();
}

void LineChart::eraseBackground(HDC dc) {
  RECT r;
  GetClientRect(handle(), &r);
  if (!left_.Picture() || !middle_.Picture() || !right_.Picture()) {
    FillRect(dc, &r, static_cast<HBRUSH>(background_.get()));
    return;
  }
  const int a = left_.Width();
  const int x = r.right - right_.Width();
  if (a < x) middle_.DrawSized(dc, a, 0, x - a, middle_.Height());
  right_.DrawAt(dc, x, 0);
  left_.DrawAt(dc, 0, 0);
}

void LineChart::dropCache() {
  if (!isEnabled() || !cache_) return;
  cache_.reset();
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

void LineChart::drawChart(HDC dc) {
  if (!cache_) cache_ = render(dc);
  if (!cache_) return;  // too small for a drawing: no chart and no marker
  BITMAP size = {};
  GetObjectW(cache_.get(), sizeof(size), &size);
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  {
    ScopedSelection bitmap(memory.get(), cache_.get());
    BitBlt(dc, chart::kDrawingX, chart::kDrawingY, size.bmWidth, size.bmHeight, memory.get(), 0, 0,
           SRCCOPY);
  }
  drawMarkedRange(dc);
  drawMarker(dc);
}

ScopedGdiObject LineChart::render(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  const chart::Size size = chart::DrawingSize(client.right, client.bottom);
  if (size.cx == 0 || size.cy == 0) return ScopedGdiObject();
  ++renders_;
  ScopedGdiObject bitmap(CreateCompatibleBitmap(dc, size.cx, size.cy));
  if (!bitmap) return bitmap;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedSelection selected(memory.get(), bitmap.get());
  const RECT all = {0, 0, size.cx, size.cy};
  FillRect(memory.get(), &all, static_cast<HBRUSH>(background_.get()));
  ScopedSelection font(memory.get(), font_.get());
  const int mode = SetBkMode(memory.get(), TRANSPARENT);
  const COLORREF colour = SetTextColor(memory.get(), RGB(255, 255, 255));
  drawGridAndAxes(memory.get());
  if (series_.total) drawCurve(memory.get());
  drawExtraSeries(memory.get());
  SetTextColor(memory.get(), colour);
  SetBkMode(memory.get(), mode);
  return bitmap;
}

void LineChart::drawGridAndAxes(HDC dc) const {
  {
    ScopedGdiObject dotted(CreatePen(PS_DOT, 1, kGridColour));
    ScopedSelection pen(dc, dotted.get());
    for (int k = 0; k <= 4; ++k) {
      const int y = chart::GridY(plot_, k);
      Line(dc, plot_.left, y, plot_.right, y);
    }
  }
  ScopedSelection pen(dc, GetStockObject(WHITE_PEN));
  Line(dc, plot_.left, plot_.top, plot_.left, plot_.bottom);
  Line(dc, plot_.left, plot_.bottom, plot_.right, plot_.bottom);
}

void LineChart::drawCurve(HDC dc) const {
  const IVideoInfo* info = source_.info();
  if (info == nullptr) return;
  const int32_t n = info->GetSlotCount();
  ScopedGdiObject solid(CreatePen(PS_SOLID, kThickLine, kCurveColour));
  ScopedSelection pen(dc, solid.get());
  bool started = false;
  for (int32_t i = 0; i < n; ++i) {
    const FrameEntry* entry = info->GetEntry(i);
    if (entry == nullptr) continue;
    const int y = chart::GToY(plot_, entry->gTotal);
    if (!started) {
      MoveToEx(dc, plot_.left, y, nullptr);
      started = true;
    }
    LineTo(dc, chart::CurveX(plot_, i, n), y);
  }
}

// The accent at a quarter over the plot, from the range's first frame to its last; drawn
// over the kept drawing at each refresh, so that marking needs no new drawing.
void LineChart::drawMarkedRange(HDC dc) const {
  const IVideoInfo* info = source_.info();
  const MarkedRange* marks = source_.marks();
  if (info == nullptr || marks == nullptr || info->GetSlotCount() <= 0) return;
  const int32_t n = info->GetSlotCount();
  const MarkedRange::Bounds b = marks->bounds(n);
  const int left = chart::FrameX(plot_, b.first, n) + chart::kDrawingX;
  const int right = chart::FrameX(plot_, b.last, n) + chart::kDrawingX + 1;
  const int top = plot_.top + chart::kDrawingY;
  const int bottom = plot_.bottom + chart::kDrawingY;
  if (right <= left || bottom <= top) return;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedGdiObject pixel(CreateCompatibleBitmap(dc, 1, 1));
  if (!memory || !pixel) return;
  ScopedSelection selected(memory.get(), pixel.get());
  SetPixel(memory.get(), 0, 0, kRangeColour);
  const BLENDFUNCTION quarter = {AC_SRC_OVER, 0, 64, 0};
  GdiAlphaBlend(dc, left, top, right - left, bottom - top, memory.get(), 0, 0, 1, 1, quarter);
}

void LineChart::drawMarker(HDC dc) const {
  const IVideoInfo* info = source_.info();
  if (info == nullptr) return;
  const int32_t n = info->GetSlotCount();
  if (n <= 0) return;
  const int x = chart::FrameX(plot_, source_.currentFrame(), n) + chart::kDrawingX;
  ScopedGdiObject solid(CreatePen(PS_SOLID, kThickLine, kMarkerColour));
  ScopedSelection pen(dc, solid.get());
  Line(dc, x, plot_.top + chart::kDrawingY, x, plot_.bottom + chart::kDrawingY - 1);
}

void LineChart::setSeries(const drivevalues::ChartSeries& series) {
  if (series == series_) return;
  series_ = series;
  cache_.reset();
  if (handle() == nullptr) return;
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

void LineChart::drawExtraSeries(HDC dc) const {
  if (series_.onlyTotal()) return;
  if (series_.threshold) drawThresholdLine(dc);
  const IVideoInfo* info = source_.info();
  if (info != nullptr) {
    const chart::Plot& p = plot_;
    if (series_.x) drawValueCurve(dc, kAxisXColour, [&p](const FrameEntry& e) { return drivevalues::AxisToY(p, e.gX); });
    if (series_.y) drawValueCurve(dc, kAxisYColour, [&p](const FrameEntry& e) { return drivevalues::AxisToY(p, e.gY); });
    if (series_.z) drawValueCurve(dc, kAxisZColour, [&p](const FrameEntry& e) { return drivevalues::AxisToY(p, e.gZ); });
    if (series_.speed) {
      const int32_t top = drivevalues::SpeedScaleTop(*info);
      drawValueCurve(dc, kSpeedColour, [&p, top](const FrameEntry& e) { return drivevalues::SpeedToY(p, e.speed, top); });
      drawSpeedScale(dc, top);
    }
  }
  drawLegend(dc);
}

void LineChart::drawThresholdLine(HDC dc) const {
  ScopedGdiObject dotted(CreatePen(PS_DOT, 1, kThresholdColour));
  ScopedSelection pen(dc, dotted.get());
  const int bk = SetBkMode(dc, TRANSPARENT);
  const int y = chart::GToY(plot_, drivevalues::kThresholdG);
  Line(dc, plot_.left + 1, y, plot_.right, y);
  SetBkMode(dc, bk);
}

void LineChart::drawValueCurve(HDC dc, COLORREF colour,
                               const std::function<int32_t(const FrameEntry&)>& row) const {
  const IVideoInfo* info = source_.info();
  const int32_t n = info->GetSlotCount();
  ScopedGdiObject solid(CreatePen(PS_SOLID, 1, colour));
  ScopedSelection pen(dc, solid.get());
  bool started = false;
  for (int32_t i = 0; i < n; ++i) {
    const FrameEntry* entry = info->GetEntry(i);
    if (entry == nullptr) continue;
    const int x = chart::CurveX(plot_, i, n);
    if (!started) MoveToEx(dc, x, row(*entry), nullptr);
    started = true;
    LineTo(dc, x, row(*entry));
  }
}

// The speed's own scale at the plot's right edge: its top and 0 km/h.
void LineChart::drawSpeedScale(HDC dc, int32_t top) const {
  const COLORREF colour = SetTextColor(dc, kSpeedColour);
  const std::wstring high = std::to_wstring(top);
  const int x = plot_.right + 4;
  TextOutW(dc, x, plot_.top - valueExtent_.cy / 2, high.c_str(), static_cast<int>(high.size()));
  TextOutW(dc, x, plot_.bottom - valueExtent_.cy / 2, L"0", 1);
  SetTextColor(dc, colour);
}

// What is shown, each name in its curve's colour, along the top edge above the plot.
void LineChart::drawLegend(HDC dc) const {
  const struct {
    bool shown;
    COLORREF colour;
    TextId text;
  } items[] = {{series_.total, kCurveColour, kTextChartLegendTotal}, {series_.x, kAxisXColour, kTextChartLegendX},
               {series_.y, kAxisYColour, kTextChartLegendY},         {series_.z, kAxisZColour, kTextChartLegendZ},
               {series_.speed, kSpeedColour, kTextChartLegendSpeed}, {series_.threshold, kThresholdColour, kTextChartLegendThreshold}};
  const COLORREF colour = GetTextColor(dc);
  int x = plot_.left + 4;
  for (const auto& item : items) {
    if (!item.shown) continue;
    const std::wstring text = LoadText(item.text);
    SetTextColor(dc, item.colour);
    TextOutW(dc, x, 0, text.c_str(), static_cast<int>(text.size()));
    x += Extent(dc, text.c_str()).cx + 10;
  }
  SetTextColor(dc, colour);
}

// ---- seeking with the mouse ----

void LineChart::onPress(LPARAM lParam) {
  const IVideoInfo* info = source_.info();
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  if (info == nullptr || info->GetSlotCount() <= 0 || !chart::OnPlot(plot_, x, y)) return;
  const int32_t frame = chart::FrameAtX(plot_, x - chart::kDrawingX, info->GetSlotCount());
  const int32_t start = chart::PressStart(frame, [info](int32_t f) {
    const FrameEntry* entry = info->GetEntry(f);
    return entry != nullptr && entry->event != 0;
  });
  scrubbing_ = true;
  SetCapture(handle());
  // A press inside a switch press shows where it began; the drag follows the pointer.
  lastSought_ = frame;
  seekTo(start);
}

void LineChart::onDrag(WPARAM wParam, LPARAM lParam) {
  if (!scrubbing_) return;
  const IVideoInfo* info = source_.info();
  if ((wParam & MK_LBUTTON) == 0 || info == nullptr) {
    onRelease();
    return;
  }
  // Beyond the plot's ends the drag holds the end frame.
  const int32_t frame =
      chart::FrameAtX(plot_, static_cast<short>(LOWORD(lParam)) - chart::kDrawingX, info->GetSlotCount());
  if (frame == lastSought_) return;
  lastSought_ = frame;
  seekTo(frame);
}

void LineChart::onRelease() {
  if (!scrubbing_) return;
  scrubbing_ = false;
  if (GetCapture() == handle()) ReleaseCapture();
}

void LineChart::seekTo(int32_t frame) { owner_.seekTo(frame); }
