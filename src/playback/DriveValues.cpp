#include "playback/DriveValues.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

namespace drivevalues {
namespace {

std::wstring Signed(double g) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%+.2f", g);
  // A value that rounds to zero shows no sign of its own.
  if (std::wcscmp(text, L"-0.00") == 0) return L"+0.00";
  return text;
}

std::wstring Unsigned(double g) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%.2f", g);
  return text;
}

// Truncation toward zero of a row far outside any window stays inside int32_t.
int32_t Row(double y) { return static_cast<int32_t>(std::max(-1e9, std::min(1e9, y))); }

}  // namespace

Texts ForEntry(const FrameEntry* entry) {
  if (entry == nullptr) return Texts{L"--- km/h", L"-.--", L"-.--", L"-.--", L"-.--"};
  return Texts{std::to_wstring(entry->speed) + L" km/h", Signed(entry->gX), Signed(entry->gY), Signed(entry->gZ),
               Unsigned(entry->gTotal)};
}

int32_t SpeedScaleTop(const IVideoInfo& info) {
  int32_t highest = 0;
  for (int32_t s = 0; s < info.GetSlotCount(); ++s)
    if (const FrameEntry* e = info.GetEntry(s)) highest = std::max(highest, e->speed);
  const int32_t steps = (highest + kSpeedStep - 1) / kSpeedStep;
  return std::max(steps, 1) * kSpeedStep;
}

int32_t SpeedToY(const chart::Plot& plot, int32_t speed, int32_t top) {
  const double h = plot.bottom - plot.top;
  return Row(plot.top + h * (top - speed) / (top > 0 ? top : 1));
}

int32_t AxisToY(const chart::Plot& plot, double g) {
  const double h = plot.bottom - plot.top;
  return Row(plot.top + h * (kAxisG - g) / (2 * kAxisG));
}

Point CirclePoint(int32_t side, double lateral, double longitudinal) {
  const double half = side / 2.0;
  const double scale = half / kCircleG;
  // Beyond the edge a point stays on it, in its direction, so it never leaves the view.
  const double length = std::hypot(lateral, longitudinal);
  const double shrink = length > kCircleG ? kCircleG / length : 1.0;
  return Point{Row(std::floor(half + lateral * shrink * scale)), Row(std::floor(half - longitudinal * shrink * scale))};
}

int32_t RingRadius(int32_t side, double g) { return Row(side / 2.0 * g / kCircleG); }

}  // namespace drivevalues
