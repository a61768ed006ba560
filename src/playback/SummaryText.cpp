#include "playback/SummaryText.h"

#include <cmath>
#include <cwchar>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/FrameTimeText.h"
#include "recording/DriveMoments.h"

namespace summarytext {
namespace {

std::wstring Format(const wchar_t* format, double v) {
  wchar_t text[64];
  std::swprintf(text, 64, format, v);
  return text;
}

// The moment's local time, or its slot when the entry carries no time.
std::wstring TimeLink(const DriveMoment& m) {
  if (m.time != 0) return frametime::ForTime(m.time).time;
  return L"#" + std::to_wstring(m.slot + 1);
}

Line Moment(TextId label, const std::wstring& value, const DriveMoment& at) {
  if (at.slot < 0) return Line{LoadText(label), L"-", L"", -1};
  return Line{LoadText(label), value, TimeLink(at), at.slot};
}

Line Peak(TextId label, const DrivePeak& p) { return Moment(label, Format(L"%+.2fG", p.value), p.at); }

std::wstring Duration(double seconds) {
  const long whole = static_cast<long>(std::floor(seconds));
  wchar_t text[64];
  std::swprintf(text, 64, LoadText(kTextSummaryDurationFormat).c_str(), whole / 60, whole % 60);
  return text;
}

}  // namespace

std::vector<Line> Lines(const DriveSummary& s) {
  std::vector<Line> lines;
  if (s.slotCount <= 0) return lines;
  const frametime::Texts start = frametime::ForTime(s.startTime);
  const frametime::Texts end = frametime::ForTime(s.endTime);
  lines.push_back({LoadText(kTextSummaryStart), start.date, start.time, 0});
  lines.push_back({LoadText(kTextSummaryEnd), end.date, end.time, s.slotCount - 1});
  lines.push_back({LoadText(kTextSummaryDuration), Duration(s.durationSeconds), L"", -1});
  lines.push_back({LoadText(kTextSummaryDistance), Format(L"%.2f km", s.distanceKm), L"", -1});
  lines.push_back(Moment(kTextSummaryMaxSpeed, std::to_wstring(s.maxSpeedKmh) + L" km/h", s.maxSpeedAt));
  lines.push_back({LoadText(kTextSummaryAverageSpeed), Format(L"%.1f km/h", s.averageSpeedKmh), L"", -1});
  lines.push_back(Peak(kTextSummaryPeakX, s.peakX));
  lines.push_back(Peak(kTextSummaryPeakY, s.peakY));
  lines.push_back(Peak(kTextSummaryPeakZ, s.peakZ));
  lines.push_back(Peak(kTextSummaryPeakTotal, s.peakTotal));
  wchar_t count[64];
  std::swprintf(count, 64, LoadText(kTextSummaryPressCount).c_str(), static_cast<int>(s.switchPresses.size()));
  lines.push_back({LoadText(kTextSummaryPresses), count, L"", -1});
  for (const DriveMoment& m : s.switchPresses) lines.push_back({L"", L"", TimeLink(m), m.slot});
  return lines;
}

}  // namespace summarytext
