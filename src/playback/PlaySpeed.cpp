#include "playback/PlaySpeed.h"

#include <algorithm>

namespace playspeed {
namespace {

constexpr Ratio kRatios[kCount] = {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}};

}  // namespace

int Clamped(int index) { return std::clamp(index, 0, kCount - 1); }

Ratio RatioAt(int index) { return kRatios[Clamped(index)]; }

int Faster(int index) { return Clamped(Clamped(index) + 1); }

int Slower(int index) { return Clamped(Clamped(index) - 1); }

std::wstring Label(int index) {
  const Ratio r = RatioAt(index);
  if (r.denominator == 1) return std::to_wstring(r.numerator);
  return std::to_wstring(r.numerator) + L"/" + std::to_wstring(r.denominator);
}

}  // namespace playspeed
