#include "playback/FrameReadout.h"

#include <cwchar>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/FrameTimeText.h"
#include "playback/PlaySpeed.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

namespace readout {
namespace {

constexpr int kSlotsASecond = 28;

std::wstring Format(TextId format, int a, int b) {
  wchar_t text[128] = {};
  swprintf(text, 128, LoadText(format).c_str(), a, b);
  return text;
}

void Append(std::wstring& line, const std::wstring& part) {
  if (!line.empty()) line += L' ';
  line += part;
}

}  // namespace

int FrameInSecond(const IVideoInfo& info, int32_t slot) {
  const FrameEntry* entry = info.GetEntry(slot);
  if (entry == nullptr || entry->time == 0) return 0;
  int n = 0;
  // At most a second back: a recorder that kept one time longer is not counted on.
  for (int32_t s = slot - 1; s >= 0 && n < kSlotsASecond - 1; --s) {
    const FrameEntry* before = info.GetEntry(s);
    if (before == nullptr || before->time != entry->time) break;
    ++n;
  }
  return n;
}

std::wstring FrameLine(const IVideoInfo& info, int32_t frame) {
  std::wstring line = Format(kTextFrameNumber, frame + 1, info.GetSlotCount());
  const FrameEntry* entry = info.GetEntry(frame);
  const frametime::Texts time = frametime::ForTime(entry != nullptr ? entry->time : 0);
  line += L"  " + time.time + L" " + Format(kTextFrameInSecond, FrameInSecond(info, frame), kSlotsASecond);
  if (entry != nullptr && entry->copy) Append(line, LoadText(kTextFrameIsCopy));
  return line;
}

std::wstring SpeedLine(int speedIndex, bool backward, bool loop) {
  std::wstring line;
  if (speedIndex != playspeed::kNormal || backward) {
    wchar_t speed[64] = {};
    swprintf(speed, 64, LoadText(kTextSpeed).c_str(), playspeed::Label(speedIndex).c_str());
    line = speed;
  }
  if (backward) Append(line, LoadText(kTextBackward));
  if (loop) Append(line, LoadText(kTextLoop));
  return line;
}

}  // namespace readout
