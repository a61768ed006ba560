#pragma once
// The playback speeds a user can choose, slowest first: 1/8, 1/4, 1/2, 1, 2, 4 and 8
// times. A speed is named by its place in that list, so that faster and slower are a
// step along it and the menu's items follow it.
#include <cstdint>
#include <string>

namespace playspeed {

constexpr int kCount = 7;
constexpr int kNormal = 3;  // 1 time

// Recording milliseconds per wall-clock millisecond, as a fraction.
struct Ratio {
  int32_t numerator = 1;
  int32_t denominator = 1;
};

// The index kept within the list.
int Clamped(int index);
// The speed at `index`, which is clamped to the list.
Ratio RatioAt(int index);
// One step faster or slower, stopping at the ends.
int Faster(int index);
int Slower(int index);
// "1/8", "1/2", "1", "2", "8": the speed as the panels write it.
std::wstring Label(int index);

}  // namespace playspeed
