#include "playback/GCircle_win.h"

#include <algorithm>

#include "playback/DriveValues.h"
#include "recording/DriveMoments.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRim = RGB(0x4A, 0x52, 0x5B);
constexpr COLORREF kRing = RGB(0x5A, 0x61, 0x6A);
constexpr COLORREF kCross = RGB(0x2E, 0x34, 0x3B);
constexpr COLORREF kLabel = RGB(0x7D, 0x86, 0x90);
constexpr COLORREF kPoint = RGB(0xFF, 0xB4, 0x3C);
constexpr int kTrailSlots = 2 * kDriveSlotsPerSecond;

// The amber at `weight` (0..256) over black.
COLORREF Faded(int weight) {
  return RGB(GetRValue(kPoint) * weight / 256, GetGValue(kPoint) * weight / 256, GetBValue(kPoint) * weight / 256);
}

void Dot(HDC dc, drivevalues::Point p, int radius, COLORREF colour) {
  ScopedGdiObject brush(CreateSolidBrush(colour));
  const RECT r = {p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1};
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void Ring(HDC dc, int side, double g) {
  const int c = side / 2;
  const int r = drivevalues::RingRadius(side, g);
  Arc(dc, c - r, c - r, c + r + 1, c + r + 1, c + r, c, c + r, c);
}

}  // namespace

GCircle::GCircle(IPlaybackOwner& owner, const IFrameSource& source)
    : source_(source),
      font_(CreateFontW(10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic")) {
  createPanel(owner.ownerWindow(), 0, {});
  ShowWindow(handle(), SW_HIDE);
}

GCircle::~GCircle() = default;

LRESULT GCircle::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint paint(handle());
      if (paint.get() != nullptr) this->paint(paint.get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

void GCircle::setShown(bool shown) {
  shown_ = shown;
  ShowWindow(handle(), shown ? SW_SHOW : SW_HIDE);
  refresh();
}

void GCircle::refresh() {
  if (!shown_) return;
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

// Drawn whole off screen and copied, so the moving point never flickers.
void GCircle::paint(HDC dc) const {
  RECT client;
  GetClientRect(handle(), &client);
  const int side = std::min(client.right, client.bottom);
  if (side <= 0) return;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!memory || !bitmap) return;
  ScopedSelection selected(memory.get(), bitmap.get());
  ScopedGdiObject black(CreateSolidBrush(kBlack));
  FillRect(memory.get(), &client, static_cast<HBRUSH>(black.get()));
  drawFrame(memory.get(), side);
  drawTrail(memory.get(), side);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

// The rim, the cross through 0 G, the rings and the axes' names: longitudinal X up,
// lateral Y to the right.
void GCircle::drawFrame(HDC dc, int side) const {
  const int c = side / 2;
  {
    ScopedGdiObject cross(CreatePen(PS_SOLID, 1, kCross));
    ScopedSelection pen(dc, cross.get());
    MoveToEx(dc, c, 1, nullptr);
    LineTo(dc, c, side - 1);
    MoveToEx(dc, 1, c, nullptr);
    LineTo(dc, side - 1, c);
  }
  {
    ScopedGdiObject ring(CreatePen(PS_SOLID, 1, kRing));
    ScopedSelection pen(dc, ring.get());
    Ring(dc, side, 0.5);
    Ring(dc, side, 1.0);
  }
  {
    ScopedGdiObject rim(CreatePen(PS_SOLID, 1, kRim));
    ScopedSelection pen(dc, rim.get());
    ScopedSelection brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, side, side);
  }
  ScopedSelection font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kLabel);
  TextOutW(dc, c + 3, 2, L"+X", 2);
  TextOutW(dc, side - 14, c + 2, L"+Y", 2);
}

// The last two seconds of read pictures, older ones darker, then the frame on screen.
void GCircle::drawTrail(HDC dc, int side) const {
  const IVideoInfo* info = source_.info();
  if (info == nullptr) return;
  const int32_t now = source_.currentFrame();
  for (int32_t age = kTrailSlots; age >= 1; --age) {
    const FrameEntry* e = info->GetEntry(now - age);
    if (e == nullptr || e->copy) continue;
    Dot(dc, drivevalues::CirclePoint(side, e->gY, e->gX), 0, Faded(200 * (kTrailSlots - age) / kTrailSlots + 24));
  }
  if (const FrameEntry* e = info->GetEntry(now)) Dot(dc, drivevalues::CirclePoint(side, e->gY, e->gX), 2, kPoint);
}
