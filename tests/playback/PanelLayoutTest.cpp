// The arithmetic behind the chart and the information panel, everywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "foundation/LocalTime.h"
#include "playback/ChartLayout.h"
#include "playback/FrameTimeText.h"

namespace {

using chart::Plot;
using chart::Size;

TEST(ChartLayout, PlotAndDrawingFollowTheWindowAndNeverTurnNegative) {
  const Size value{35, 13};
  const Size count{21, 13};
  const struct {
    int32_t width, height;
    Plot plot;
    Size drawing;
  } cases[] = {
      {700, 90, {45, 13, 624, 54}, {655, 72}},
      {800, 90, {45, 13, 724, 54}, {755, 72}},
      {700, 200, {45, 13, 624, 164}, {655, 182}},
      // Too small for a plot: right stays on left, bottom on top, and no drawing.
      {100, 40, {45, 13, 45, 13}, {55, 22}},
      {46, 19, {45, 13, 45, 13}, {1, 1}},
      {45, 90, {45, 13, 45, 54}, {0, 72}},
      {700, 18, {45, 13, 624, 13}, {655, 0}},
      {0, 0, {45, 13, 45, 13}, {0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    EXPECT_EQ(chart::LayOut(c.width, c.height, value, count), c.plot);
    const Size s = chart::DrawingSize(c.width, c.height);
    EXPECT_EQ(s.cx, c.drawing.cx);
    EXPECT_EQ(s.cy, c.drawing.cy);
  }
}

TEST(ChartLayout, FramesSpreadOverThePlotWithASingleFrameAtEachEnd) {
  const Plot plot{45, 13, 624, 54};
  const struct {
    int32_t frame, frames, marker, curve;
  } cases[] = {
      {0, 1, 624, 45},       // the marker at the right end, the curve's start at the left
      {0, 2, 45, 45},
      {1, 2, 624, 624},
      {0, 280, 45, 45},
      {279, 280, 624, 624},
      {100, 280, 45 + 579 * 100 / 279, 45 + 579 * 100 / 279},  // truncated
      {29999, 30000, 624, 624},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(chart::FrameX(plot, c.frame, c.frames), c.marker) << c.frame << "/" << c.frames;
    EXPECT_EQ(chart::CurveX(plot, c.frame, c.frames), c.curve) << c.frame << "/" << c.frames;
  }
  // A plot wider than any screen times the longest timeline must not overflow.
  const Plot wide{0, 0, 200000, 10};
  EXPECT_EQ(chart::FrameX(wide, 29998, 29999), 200000);
}

TEST(ChartLayout, GValuesMapOntoTheFixedScale) {
  const Plot plot{45, 13, 624, 54};  // 41 rows high
  const struct {
    double g;
    int32_t y;
  } cases[] = {
      {0.0, 54},            // on the bottom axis
      {2.0, 13},            // on the top line
      {1.0, 33},            // 13 + 20.5, truncated
      {2.5, 2},             // above the top line: 13 - 10.25, truncated toward zero
      {20.0, -356},         // 13 - 369, truncated toward zero
      {std::nan(""), 54},   // no value: the bottom axis
      {1e300, -(1 << 20)},  // still a drawable row
  };
  for (const auto& c : cases) EXPECT_EQ(chart::GToY(plot, c.g), c.y) << c.g;
  const int32_t grid[] = {13, 23, 33, 43, 54};
  for (int k = 0; k <= 4; ++k) EXPECT_EQ(chart::GridY(plot, k), grid[k]) << k;
}

TEST(FrameTimeText, TimesAreShownInLocalTimeOrAsDashes) {
  const frametime::Texts dashes{L"----/--/--", L"--:--:--"};
  EXPECT_EQ(frametime::Placeholders(), dashes);
  const struct {
    LocalDateTime local;
    frametime::Texts texts;
  } cases[] = {
      {{2013, 4, 5, 9, 8, 7}, {L"2013/04/05", L"09:08:07"}},
      {{2009, 12, 31, 23, 59, 59}, {L"2009/12/31", L"23:59:59"}},
      {{2000, 1, 1, 0, 0, 0}, {L"2000/01/01", L"00:00:00"}},
  };
  for (const auto& c : cases) {
    const int64_t time = CalendarTimeOrZero(c.local);
    ASSERT_NE(time, 0);
    EXPECT_EQ(frametime::ForTime(time), c.texts) << time;
  }
  EXPECT_EQ(frametime::ForTime(0), dashes);
  EXPECT_EQ(frametime::ForTime(std::numeric_limits<int64_t>::max()), dashes);
}

TEST(FrameTimeText, EachSetHasDigitsADashAndItsOwnSeparator) {
  const struct {
    wchar_t c, separator;
    int glyph;
  } cases[] = {
      {L'0', L'/', 0}, {L'9', L':', 9}, {L'-', L'/', 10}, {L'/', L'/', 11},
      {L':', L':', 11}, {L':', L'/', -1}, {L' ', L':', -1}, {L'\x0660', L'/', -1},
  };
  for (const auto& c : cases) EXPECT_EQ(frametime::GlyphIndex(c.c, c.separator), c.glyph) << int(c.c);
}

std::array<frametime::GlyphSize, frametime::kGlyphCount> SizesOf(frametime::GlyphSize size) {
  std::array<frametime::GlyphSize, frametime::kGlyphCount> sizes;
  sizes.fill(size);
  return sizes;
}

TEST(FrameTimeText, GlyphsSitSideBySideAndTheBlockIsTheLastOnesHeight) {
  auto sizes = SizesOf({9, 12});
  sizes[frametime::kSeparatorGlyph] = {5, 14};
  const frametime::Run run = frametime::LayOut(L"1/2x3", L'/', sizes);
  ASSERT_EQ(run.glyphs.size(), 4u);
  const int xs[] = {0, 9, 14, 23};
  const int glyphs[] = {1, frametime::kSeparatorGlyph, 2, 3};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(run.glyphs[i].x, xs[i]) << i;
    EXPECT_EQ(run.glyphs[i].glyph, glyphs[i]) << i;
  }
  EXPECT_EQ(run.width, 32);
  EXPECT_EQ(run.height, 12);
}

TEST(FrameTimeText, WithoutAnyPictureThereIsNothingToCopy) {
  auto missingDash = SizesOf({21, 31});
  missingDash[frametime::kDashGlyph] = {0, 0};  // a picture that could not be loaded
  const struct {
    const wchar_t* text;
    std::array<frametime::GlyphSize, frametime::kGlyphCount> sizes;
  } cases[] = {
      {L"", SizesOf({21, 31})},
      {L"ab c", SizesOf({21, 31})},
      {L"12:34:56", SizesOf({0, 0})},
      {L"--:--", missingDash},
  };
  for (const auto& c : cases) {
    const frametime::Run run = frametime::LayOut(c.text, L'/', c.sizes);
    EXPECT_TRUE(run.empty()) << static_cast<const void*>(c.text);
    EXPECT_EQ(run.width, 0);
    EXPECT_EQ(run.height, 0);
  }
}

}  // namespace

TEST(ChartLayout, AColumnOfThePlotGivesTheFrameDrawnThereOrTheNearest) {
  const Plot plot{45, 13, 624, 54};  // 579 columns wide
  // Fewer frames than columns: each frame's own column gives it back, and a column
  // between two frames gives the nearer (the first on a tie).
  for (int32_t frames : {2, 84, 580}) {
    for (int32_t f = 0; f < frames; ++f) {
      ASSERT_EQ(chart::FrameAtX(plot, chart::FrameX(plot, f, frames), frames), f) << f << "/" << frames;
    }
  }
  const struct {
    int32_t x, frames, frame;
  } cases[] = {
      {45, 84, 0},     {624, 84, 83},   {0, 84, 0},     {5000, 84, 83},  // ends, and beyond
      {48, 84, 0},     {49, 84, 1},     // frames 0 and 1 at 45 and 51: 48 is a tie, 49 nearer 1
      {334, 3, 1},     {189, 3, 0},     {190, 3, 1},    // at 45, 334, 624
      {300, 1, 0},     {300, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(chart::FrameAtX(plot, c.x, c.frames), c.frame) << c.x << "/" << c.frames;
  // More frames than columns: each column gives the first frame drawn in it.
  const int32_t frames = 30000;
  for (int32_t x = plot.left; x <= plot.right; ++x) {
    const int32_t f = chart::FrameAtX(plot, x, frames);
    ASSERT_EQ(chart::FrameX(plot, f, frames), x) << x;
    if (f > 0) {
      ASSERT_LT(chart::FrameX(plot, f - 1, frames), x) << x;
    }
  }
  EXPECT_EQ(chart::FrameAtX(Plot{45, 13, 45, 54}, 45, 100), 0) << "a plot without width";
}

TEST(ChartLayout, PlotHitsAndSwitchPressStarts) {
  const Plot plot{45, 13, 624, 54};  // in the window: 65 .. 644 by 20 .. 61
  const struct {
    int32_t x, y;
    bool on;
  } points[] = {{65, 20, true}, {644, 61, true}, {64, 30, false}, {645, 30, false},
                {300, 19, false}, {300, 62, false}, {300, 40, true}};
  for (const auto& p : points) EXPECT_EQ(chart::OnPlot(plot, p.x, p.y), p.on) << p.x << ", " << p.y;

  const auto pressed = [](int32_t f) { return (f >= 0 && f <= 2) || (f >= 5 && f <= 8) || f == 11; };
  const struct {
    int32_t frame, start;
  } runs[] = {{0, 0}, {2, 0}, {3, 3}, {5, 5}, {7, 5}, {8, 5}, {9, 9}, {11, 11}, {12, 12}};
  for (const auto& r : runs) EXPECT_EQ(chart::PressStart(r.frame, pressed), r.start) << r.frame;
}
