// The drive summary's lines: names from the string table, values, and the links that
// carry the slot a click shows.
#include "playback/SummaryText.h"

#include <gtest/gtest.h>

#include "foundation/LocalTime.h"
#include "recording/DriveMoments.h"

TEST(SummaryText, LinesNameEachFigureAndLinkEachMoment) {
  int64_t t = 0;
  ASSERT_TRUE(ToCalendarTime(LocalDateTime{2013, 4, 5, 17, 45, 15}, t));
  DriveSummary s;
  s.slotCount = 560;
  s.startTime = t;
  s.endTime = t + 19;
  s.durationSeconds = 20.0;
  s.distanceKm = 0.2889;
  s.maxSpeedKmh = 60;
  s.maxSpeedAt = {140, t + 5};
  s.averageSpeedKmh = 52.04;
  s.peakX = {-0.704, {70, t + 2}};
  s.peakY = {0.6, {0, 0}};  // an entry without a time links by its frame number
  s.peakZ = {1.2, {300, t + 10}};
  s.peakTotal = {1.31, {301, t + 10}};
  s.switchPresses = {{28, t + 1}, {400, t + 14}};
  const std::vector<summarytext::Line> lines = summarytext::Lines(s);
  const struct {
    const wchar_t *label, *value, *link;
    int32_t slot;
  } want[] = {
      {L"開始", L"2013/04/05", L"17:45:15", 0},
      {L"終了", L"2013/04/05", L"17:45:34", 559},
      {L"時間", L"0分20秒", L"", -1},
      {L"距離", L"0.29 km", L"", -1},
      {L"最高速度", L"60 km/h", L"17:45:20", 140},
      {L"平均速度", L"52.0 km/h", L"", -1},
      {L"X軸のGの最大", L"-0.70G", L"17:45:17", 70},
      {L"Y軸のGの最大", L"+0.60G", L"#1", 0},
      {L"Z軸のGの最大", L"+1.20G", L"17:45:25", 300},
      {L"合成Gの最大", L"+1.31G", L"17:45:25", 301},
      {L"スイッチ", L"2回", L"", -1},
      {L"", L"", L"17:45:16", 28},
      {L"", L"", L"17:45:29", 400},
  };
  ASSERT_EQ(lines.size(), std::size(want));
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].label, want[i].label);
    EXPECT_EQ(lines[i].value, want[i].value);
    EXPECT_EQ(lines[i].link, want[i].link);
    EXPECT_EQ(lines[i].slot, want[i].slot);
  }
  EXPECT_TRUE(summarytext::Lines(DriveSummary()).empty()) << "nothing open, nothing to sum up";
}
