// The information panel and the G-value chart in a window on the display, beside the
// real video player playing a simulator recording, refreshed the way the main window
// refreshes them. A stand-in recording view reaches what no recording carries (G values
// above the scale, missing times, missing information).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "PanelTestOwner_win.h"
#include "RecorderSimulator.h"
#include "StandInInfo.h"
#include "ScreenCapture_win.h"
#include "TempDir.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/ChartLayout.h"
#include "playback/FrameTimeText.h"
#include "playback/DriveSummaryWindow_win.h"
#include "playback/GCircle_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/PlayTrackBar_win.h"
#include "toolkit/TrackToolTip_win.h"
#include "toolkit/ImageTrackBar_win.h"
#include "toolkit/ImageButton_win.h"
#include "playback/PlayButton_win.h"
#include "playback/LineChart_win.h"
#include "playback/PlayerFrameSource_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"

namespace {

constexpr DWORD kPatienceMs = 30000;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kOrange = 0xFFA500;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlue = 0x0000FF;

class FixedSource : public IFrameSource {
 public:
  const IVideoInfo* info() const override { return shown; }
  int32_t currentFrame() const override { return frame; }
  const IVideoInfo* shown = nullptr;
  int32_t frame = 0;
};

// The digit pictures of one set, as the panel loads them.
struct GlyphPictures {
  explicit GlyphPictures(const std::array<int, frametime::kGlyphCount>& ids) {
    for (size_t i = 0; i < ids.size(); ++i) glyphs[i] = std::make_unique<AlphaImage>(ids[i]);
  }
  std::array<std::unique_ptr<AlphaImage>, frametime::kGlyphCount> glyphs;
};
const std::array<int, frametime::kGlyphCount> kDateIds = {225, 226, 227, 228, 229, 230,
                                                          231, 232, 233, 234, 235, 224};
const std::array<int, frametime::kGlyphCount> kTimeIds = {251, 252, 253, 254, 255, 256,
                                                          257, 258, 259, 260, 250, 261};

// Empty when `shot` shows `text` in `set`'s pictures from (x0, y0); else the first
// difference.
std::string Shows(const Image& shot, const std::wstring& text, wchar_t separator,
                  const GlyphPictures& set, int x0, int y0) {
  int x = x0;
  for (wchar_t c : text) {
    const int glyph = frametime::GlyphIndex(c, separator);
    if (glyph < 0) continue;
    const Image& picture = *set.glyphs[static_cast<size_t>(glyph)]->Picture();
    for (int py = 0; py < picture.Height(); ++py) {
      for (int px = 0; px < picture.Width(); ++px) {
        const uint32_t want = PixelAt(picture, px, py);
        const uint32_t got = PixelAt(shot, x + px, y0 + py);
        if (want != got) {
          return "character " + std::to_string(int(c)) + " at (" + std::to_string(x + px) + ", " +
                 std::to_string(y0 + py) + "): " + std::to_string(got) + " instead of " +
                 std::to_string(want);
        }
      }
    }
    x += picture.Width();
  }
  return "";
}

// The columns of `row` in `colour`.
std::set<int> ColumnsOf(const Image& shot, int row, uint32_t colour) {
  std::set<int> columns;
  for (int x = 0; x < shot.Width(); ++x) {
    if (PixelAt(shot, x, row) == colour) columns.insert(x);
  }
  return columns;
}

// The rows of `column` in `colour`.
std::set<int> RowsOf(const Image& shot, int column, uint32_t colour) {
  std::set<int> rows;
  for (int y = 0; y < shot.Height(); ++y) {
    if (PixelAt(shot, column, y) == colour) rows.insert(y);
  }
  return rows;
}

int CountOf(const Image& shot, const RECT& area, uint32_t colour) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) n += PixelAt(shot, x, y) == colour;
  }
  return n;
}

// Whether `set` holds `value` give or take one (a pen two pixels wide).
bool Near(const std::set<int>& set, int value) {
  return set.count(value - 1) + set.count(value) + set.count(value + 1) > 0;
}

class PanelTest : public testing::Test {
 protected:
  static constexpr int kChartWidth = 700;
  static constexpr int kChartHeight = 90;

  static void SetUpTestSuite() {
    dir_ = new TempDir();
    recsim::RecordingDescription d;
    d.start = LocalDateTime{2013, 4, 5, 9, 8, 7};
    d.durationMs = 3000;
    d.sound = false;
    d.mode = recsim::PictureMode::Fast;
    d.fastVariants = 1;
    d.width = 160;
    d.height = 120;
    d.manoeuvres = {{recsim::Manoeuvre::Kind::Braking, 500, 1500, 0.8}};
    path_ = (*dir_ / "0001_001.DAT").wstring();
    manifest_ = new recsim::RecordingManifest(recsim::WriteRecording(d, path_));
  }
  static void TearDownTestSuite() {
    delete manifest_;
    manifest_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    owner_ = new TestOwner();
    player_ = new VideoPlayer(*owner_);
    MoveWindow(player_->handle(), 0, 0, 160, 120, TRUE);
    playerSource_ = std::make_unique<PlayerFrameSource>(*player_);
    makePanels(*playerSource_);
  }
  void TearDown() override { DestroyWindow(owner_->handle()); }

  // Panels over `source`, placed as the main window places them (the chart below the
  // picture, the information panel in the right column).
  void makePanels(const IFrameSource& source) {
    if (owner_->chart != nullptr) DestroyWindow(owner_->chart->handle());
    if (owner_->info != nullptr) DestroyWindow(owner_->info->handle());
    owner_->chart = new LineChart(*owner_, source);
    owner_->info = new InfoPanel(*owner_, source);
    MoveWindow(owner_->chart->handle(), 0, 200, kChartWidth, kChartHeight, TRUE);
    MoveWindow(owner_->info->handle(), 691, 0, 209, 180, TRUE);
    settle();
  }
  void open() {
    player_->setSingleFile(path_);
    ASSERT_TRUE(player_->openRecordingAt(0));
    ASSERT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
    ASSERT_GT(player_->frameCount(), 80);
  }
  // Repaints waiting, then the refresh the main window makes on every tick.
  void settle() {
    PumpFor(30);
    owner_->refreshPlayback();
    GdiFlush();
  }
  std::unique_ptr<Image> chartShot() { return CaptureClient(owner_->chart->handle()); }
  std::unique_ptr<Image> infoShot() { return CaptureClient(owner_->info->handle()); }
  // Where the chart's plot lies in its window.
  chart::Plot plotOnScreen() const {
    chart::Plot p = owner_->chart->plot();
    p.left += chart::kDrawingX;
    p.right += chart::kDrawingX;
    p.top += chart::kDrawingY;
    p.bottom += chart::kDrawingY;
    return p;
  }
  void expectTexts(const frametime::Texts& texts) {
    const std::unique_ptr<Image> shot = infoShot();
    EXPECT_EQ(Shows(*shot, texts.date, L'/', dateGlyphs_, 62, 80), "");
    EXPECT_EQ(Shows(*shot, texts.time, L':', timeGlyphs_, 20, 105), "");
  }

  static TempDir* dir_;
  static std::wstring path_;
  static recsim::RecordingManifest* manifest_;
  TestOwner* owner_ = nullptr;
  VideoPlayer* player_ = nullptr;
  std::unique_ptr<PlayerFrameSource> playerSource_;
  FixedSource fixed_;
  GlyphPictures dateGlyphs_{kDateIds};
  GlyphPictures timeGlyphs_{kTimeIds};
};

TempDir* PanelTest::dir_ = nullptr;
std::wstring PanelTest::path_;
recsim::RecordingManifest* PanelTest::manifest_ = nullptr;

std::wstring DateOf(const LocalDateTime& t) {
  wchar_t text[16];
  swprintf(text, 16, L"%04d/%02d/%02d", t.year, t.month, t.day);
  return text;
}
std::wstring TimeOf(const LocalDateTime& t) {
  wchar_t text[16];
  swprintf(text, 16, L"%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

TEST_F(PanelTest, InformationPanelShowsTheDateAndTimeOfTheFrameOnScreen) {
  expectTexts(frametime::Placeholders());  // nothing loaded yet
  open();
  const LocalDateTime first = manifest_->pictures.front().local;
  const LocalDateTime last = manifest_->pictures.back().local;
  ASSERT_NE(TimeOf(first), TimeOf(last));
  const struct {
    int32_t frame;
    frametime::Texts texts;
  } cases[] = {
      {0, {L"2013/04/05", L"09:08:07"}},
      {player_->frameCount() - 1, {DateOf(last), TimeOf(last)}},
      {0, {DateOf(first), TimeOf(first)}},  // back again: the later digits are replaced
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frame);
    player_->seek(c.frame);
    ASSERT_EQ(player_->currentFrame(), c.frame);
    settle();
    EXPECT_EQ(owner_->info->currentTexts(), c.texts);
    expectTexts(c.texts);
  }
  player_->closeRecording();
  settle();
  expectTexts(frametime::Placeholders());
}

TEST_F(PanelTest, InformationPanelShowsDashesWithoutATime) {
  const int64_t t = CalendarTimeOrZero({2013, 4, 5, 9, 8, 7});
  const StandInInfo times({StandInInfo::At(t), std::nullopt, StandInInfo::At(0), StandInInfo::At(t + 1)});
  const struct {
    const char* name;
    const IVideoInfo* info;
    int32_t frame;
    frametime::Texts texts;
  } cases[] = {
      {"no recording", nullptr, 0, frametime::Placeholders()},
      {"a time", &times, 0, {L"2013/04/05", L"09:08:07"}},
      {"no entry", &times, 1, frametime::Placeholders()},
      {"time 0", &times, 2, frametime::Placeholders()},
      {"the next time", &times, 3, {L"2013/04/05", L"09:08:08"}},
      {"beyond the timeline", &times, 4, frametime::Placeholders()},
  };
  makePanels(fixed_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fixed_.shown = c.info;
    fixed_.frame = c.frame;
    settle();
    expectTexts(c.texts);
  }
}

TEST_F(PanelTest, MissingInformationIsSaidInBlueInsteadOfTheDigits) {
  const int64_t t = CalendarTimeOrZero({2013, 4, 5, 9, 8, 7});
  StandInInfo info({StandInInfo::At(t)});
  makePanels(fixed_);
  fixed_.shown = &info;
  const RECT notice = {35, 70, 170, 160};
  for (bool missing : {false, true}) {
    SCOPED_TRACE(missing);
    info.missing = missing;
    InvalidateRect(owner_->info->handle(), nullptr, TRUE);  // the background under it too
    settle();
    const std::unique_ptr<Image> shot = infoShot();
    const bool digits = Shows(*shot, L"09:08:07", L':', timeGlyphs_, 20, 105).empty();
    EXPECT_EQ(digits, !missing);
    if (missing) {
      EXPECT_GT(CountOf(*shot, notice, kBlue), 20) << "no text in blue";
      const RECT outside = {0, 0, 209, 70};
      EXPECT_EQ(CountOf(*shot, outside, kBlue), 0) << "text outside its rectangle";
    } else {
      EXPECT_EQ(CountOf(*shot, notice, kBlue), 0);
    }
  }
}

TEST_F(PanelTest, ChartPlotFollowsTheWindowSize) {
  const chart::Plot at700 = owner_->chart->plot();
  RecordProperty("plot", std::to_string(at700.left) + "," + std::to_string(at700.top) + "," +
                             std::to_string(at700.right) + "," + std::to_string(at700.bottom));
  EXPECT_EQ(at700.top, 13);
  EXPECT_GT(at700.left, 10);
  EXPECT_GT(at700.right, at700.left);
  EXPECT_GT(at700.bottom, at700.top);
  const struct {
    int width, height, dRight, dBottom;
  } cases[] = {{800, 90, 100, 0}, {700, 120, 0, 30}, {600, 60, -100, -30}, {700, 90, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const int renders = owner_->chart->renderCount();
    MoveWindow(owner_->chart->handle(), 0, 200, c.width, c.height, TRUE);
    settle();
    const chart::Plot p = owner_->chart->plot();
    EXPECT_EQ(p.left, at700.left);
    EXPECT_EQ(p.top, 13);
    EXPECT_EQ(p.right - at700.right, c.dRight);
    EXPECT_EQ(p.bottom - at700.bottom, c.dBottom);
    EXPECT_EQ(owner_->chart->renderCount(), renders + 1) << "the curve was not drawn again";
  }
}

TEST_F(PanelTest, ChartMarkerFollowsThePlayerAndTheCurveItsGValues) {
  open();
  const int32_t n = player_->frameCount();
  const chart::Plot p = plotOnScreen();
  const int row = (p.top + p.bottom) / 2;
  for (int32_t frame : {n / 2, 0, n - 1, n / 3}) {
    SCOPED_TRACE(frame);
    player_->seek(frame);
    settle();
    const std::unique_ptr<Image> shot = chartShot();
    const std::set<int> marker = ColumnsOf(*shot, row, kYellow);
    const int x = chart::FrameX(owner_->chart->plot(), frame, n) + chart::kDrawingX;
    ASSERT_FALSE(marker.empty());
    EXPECT_TRUE(Near(marker, x)) << "marker at " << *marker.begin();
    EXPECT_LE(*marker.rbegin() - *marker.begin(), 2) << "an earlier marker was left behind";
  }
  // The curve passes through the points of frames that have an entry.
  const std::unique_ptr<Image> shot = chartShot();
  const IVideoInfo& info = *player_->info();
  int checked = 0;
  for (int32_t frame = 1; frame < n; frame += n / 7) {
    const FrameEntry* e = info.GetEntry(frame);
    if (e == nullptr) continue;
    const int x = chart::CurveX(owner_->chart->plot(), frame, n) + chart::kDrawingX;
    const int y = chart::GToY(owner_->chart->plot(), e->gTotal) + chart::kDrawingY;
    EXPECT_TRUE(Near(RowsOf(*shot, x, kOrange), y)) << "frame " << frame << " g " << e->gTotal;
    ++checked;
  }
  EXPECT_GE(checked, 5);
}

TEST_F(PanelTest, ChartScaleAndMarkerAtTheEdges) {
  makePanels(fixed_);
  const chart::Plot p = plotOnScreen();
  const int middle = (p.left + p.right) / 2;
  const auto g = [](double v, int n) { return std::vector<std::optional<FrameEntry>>(n, StandInInfo::G(v)); };
  const struct {
    const char* name;
    std::optional<StandInInfo> info;
    int32_t frame;
    int markerX;   // the marker's column (-1: no marker)
    int curveRow;  // where the curve crosses the middle column (-1: not there)
  } cases[] = {
      {"no recording", std::nullopt, 0, -1, -1},
      {"one frame: marker at the right end", StandInInfo(g(1.0, 1)), 0, p.right, -1},
      {"g = 0 on the bottom axis", StandInInfo(g(0.0, 3)), 0, p.left, p.bottom},
      {"marker in the middle", StandInInfo(g(0.0, 3)), 1, middle, p.bottom},
      {"g = 2 on the top line", StandInInfo(g(2.0, 3)), 2, p.right, p.top},
      {"g = 2.5 above the top line", StandInInfo(g(2.5, 3)), 1, middle,
       chart::GToY(owner_->chart->plot(), 2.5) + chart::kDrawingY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fixed_.shown = c.info ? &*c.info : nullptr;
    fixed_.frame = c.frame;
    owner_->chart->dropCache();
    settle();
    const std::unique_ptr<Image> shot = chartShot();
    const std::set<int> marker = ColumnsOf(*shot, (p.top + p.bottom) / 2, kYellow);
    EXPECT_EQ(marker.empty(), c.markerX < 0);
    if (c.markerX >= 0) {
      EXPECT_TRUE(Near(marker, c.markerX));
    }
    // Grid and axes always (where neither curve nor marker covers them): the dotted
    // quarter line, the white left axis.
    const int quarter = chart::GridY(owner_->chart->plot(), 1) + chart::kDrawingY;
    EXPECT_GT(ColumnsOf(*shot, quarter, 0x808080).size(), 10u);
    if (c.markerX != p.left) {
      EXPECT_TRUE(RowsOf(*shot, p.left, kWhite).count(quarter + 2)) << "no left axis";
    }
    const std::set<int> curve = RowsOf(*shot, middle + 7, kOrange);
    if (c.curveRow < 0) {
      EXPECT_TRUE(curve.empty());
      EXPECT_TRUE(ColumnsOf(*shot, p.bottom, kWhite).count(middle)) << "no bottom axis";
      continue;
    }
    ASSERT_FALSE(curve.empty());
    EXPECT_TRUE(Near(curve, c.curveRow)) << "curve at row " << *curve.begin();
    EXPECT_LE(*curve.rbegin() - *curve.begin(), 2);
  }
  fixed_.shown = nullptr;
}

TEST_F(PanelTest, DroppingTheCacheRedrawsOnlyAnEnabledChart) {
  settle();
  ASSERT_TRUE(owner_->chart->hasCachedChart());
  const struct {
    bool enabled;
    int newRenders;
  } cases[] = {{false, 0}, {true, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.enabled);
    EnableWindow(owner_->chart->handle(), c.enabled ? TRUE : FALSE);
    const int renders = owner_->chart->renderCount();
    owner_->chart->dropCache();
    EXPECT_EQ(owner_->chart->renderCount(), renders + c.newRenders);
    EXPECT_TRUE(owner_->chart->hasCachedChart());
  }
}

TEST_F(PanelTest, MinimisedOrSqueezedChartDrawsNothingAndTriesNoBitmap) {
  open();
  settle();
  const chart::Plot full = owner_->chart->plot();
  ASSERT_TRUE(owner_->chart->hasCachedChart());

  // A minimised window reports 0 x 0: the layout and the drawing stay.
  SendMessageW(owner_->chart->handle(), WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(owner_->chart->plot(), full);
  EXPECT_TRUE(owner_->chart->hasCachedChart());

  const struct {
    int width, height;
  } squeezed[] = {{0, 90}, {30, 10}, {45, 18}, {0, 0}};
  for (const auto& s : squeezed) {
    SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
    MoveWindow(owner_->chart->handle(), 0, 200, s.width, s.height, TRUE);
    const int renders = owner_->chart->renderCount();
    for (int tick = 0; tick < 5; ++tick) settle();
    const chart::Plot p = owner_->chart->plot();
    EXPECT_GE(p.right, p.left);
    EXPECT_GE(p.bottom, p.top);
    EXPECT_EQ(owner_->chart->renderCount(), renders) << "a drawing was begun with no room for it";
    EXPECT_FALSE(owner_->chart->hasCachedChart());
  }

  MoveWindow(owner_->chart->handle(), 0, 200, kChartWidth, kChartHeight, TRUE);
  settle();
  EXPECT_EQ(owner_->chart->plot(), full);
  EXPECT_TRUE(owner_->chart->hasCachedChart());
  EXPECT_TRUE(owner_->commands.empty()) << "the panels asked the owner for a command";
}

namespace {

constexpr uint32_t kAmber = 0xFFB43C;
constexpr uint32_t kSurface = 0x23272C;
constexpr RECT kValuesStrip = {1, 150, 208, 179};

FrameEntry DriveEntry(int32_t speed, double x, double y, double z, double total) {
  FrameEntry e;
  e.speed = speed;
  e.gX = x;
  e.gY = y;
  e.gZ = z;
  e.gTotal = total;
  return e;
}

// The pixels of the information panel's values strip.
std::vector<uint32_t> Strip(const Image& shot) {
  std::vector<uint32_t> pixels;
  for (int y = kValuesStrip.top; y < kValuesStrip.bottom; ++y)
    for (int x = kValuesStrip.left; x < kValuesStrip.right; ++x) pixels.push_back(PixelAt(shot, x, y));
  return pixels;
}

// What a user's mouse posts the chart at (x, y) of its window.
void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
  PostMessageW(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  PumpFor(10);
}

}  // namespace

// Off, the strip is the bare panel; on, each frame's values draw their own amber text,
// the same for the same values, and dashes wherever the frame has no entry.
TEST_F(PanelTest, InformationPanelShowsTheFramesSpeedAndGValuesWhenAsked) {
  makePanels(fixed_);
  StandInInfo info({DriveEntry(52, 0.12, -0.05, 1.01, 1.02), DriveEntry(52, 0.12, -0.05, 1.01, 1.02),
                    DriveEntry(7, -0.4, 0.3, 0.98, 1.1), std::nullopt});
  fixed_.shown = &info;
  fixed_.frame = 0;
  settle();
  EXPECT_EQ(CountOf(*infoShot(), kValuesStrip, kSurface),
            (kValuesStrip.right - kValuesStrip.left) * (kValuesStrip.bottom - kValuesStrip.top))
      << "values drawn while they are off";
  owner_->info->setValuesShown(true);
  std::map<int32_t, std::vector<uint32_t>> strips;
  for (int32_t frame : {0, 1, 2, 3}) {
    fixed_.frame = frame;
    settle();
    const std::unique_ptr<Image> shot = infoShot();
    EXPECT_GT(CountOf(*shot, kValuesStrip, kAmber), 40) << "frame " << frame;
    strips[frame] = Strip(*shot);
  }
  EXPECT_EQ(strips[0], strips[1]);
  EXPECT_NE(strips[0], strips[2]);
  EXPECT_NE(strips[2], strips[3]);
  fixed_.shown = nullptr;  // nothing loaded: the dashes of an empty slot
  settle();
  EXPECT_EQ(Strip(*infoShot()), strips[3]);
  EXPECT_EQ(owner_->info->currentValues().speed, L"--- km/h");
  owner_->info->setValuesShown(false);
  settle();
  EXPECT_EQ(CountOf(*infoShot(), kValuesStrip, kSurface),
            (kValuesStrip.right - kValuesStrip.left) * (kValuesStrip.bottom - kValuesStrip.top));
}

// Each axis its colour on the signed scale, the speed on its own, the threshold line;
// back to the combined G alone, the chart is the one it was.
TEST_F(PanelTest, ChartDrawsTheChosenSeriesOnTheirScales) {
  makePanels(fixed_);
  // X +1 G, Y -1 G, Z 0 G, 40 km/h (the speed scale's top is 40), combined 1.5 G.
  StandInInfo info(std::vector<std::optional<FrameEntry>>(5, DriveEntry(40, 1.0, -1.0, 0.0, 1.5)));
  fixed_.shown = &info;
  fixed_.frame = 0;
  owner_->chart->dropCache();
  settle();
  const std::unique_ptr<Image> usual = chartShot();
  const chart::Plot& plot = owner_->chart->plot();
  const int column = (plot.left + plot.right) / 2 + chart::kDrawingX;
  struct Case {
    const char* what;
    bool drivevalues::ChartSeries::*flag;
    uint32_t colour;
    int row;
  };
  const Case cases[] = {
      {"x", &drivevalues::ChartSeries::x, 0xE5484D, drivevalues::AxisToY(plot, 1.0)},
      {"y", &drivevalues::ChartSeries::y, 0x46A758, drivevalues::AxisToY(plot, -1.0)},
      {"z", &drivevalues::ChartSeries::z, 0x3E8EED, drivevalues::AxisToY(plot, 0.0)},
      {"speed", &drivevalues::ChartSeries::speed, 0xB8BEC4, drivevalues::SpeedToY(plot, 40, 40)},
      {"threshold", &drivevalues::ChartSeries::threshold, 0x5A616A, chart::GToY(plot, 0.5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drivevalues::ChartSeries series;
    series.total = false;
    series.*c.flag = true;
    owner_->chart->setSeries(series);
    settle();
    const std::unique_ptr<Image> shot = chartShot();
    // Constant values: a level line along the whole plot (dotted for the threshold).
    EXPECT_GT(ColumnsOf(*shot, c.row + chart::kDrawingY, c.colour).size(), 200u);
    EXPECT_TRUE(RowsOf(*shot, column, kOrange).empty()) << "the combined G is off";
  }
  owner_->chart->setSeries(drivevalues::ChartSeries());
  settle();
  const std::unique_ptr<Image> again = chartShot();
  EXPECT_EQ(std::vector<uint8_t>(again->Pixels(), again->Pixels() + again->ByteSize()),
            std::vector<uint8_t>(usual->Pixels(), usual->Pixels() + usual->ByteSize()));
  fixed_.shown = nullptr;
}

TEST_F(PanelTest, APressOnThePlotSeeksThereOrToTheSwitchPressStartAndADragScrubs) {
  makePanels(fixed_);
  std::vector<std::optional<FrameEntry>> entries(101, StandInInfo::G(0.5));
  for (int f = 40; f < 50; ++f) entries[size_t(f)]->event = 0x20;
  const StandInInfo info(entries);
  fixed_.shown = &info;
  settle();
  const HWND chart = owner_->chart->handle();
  const chart::Plot p = plotOnScreen();
  const int row = (p.top + p.bottom) / 2;
  const auto column = [&](int32_t frame) { return chart::FrameX(owner_->chart->plot(), frame, 101) + chart::kDrawingX; };
  const auto seeks = [&] {
    std::vector<std::string> s;
    for (const std::string& entry : owner_->log) {
      if (entry.rfind("seek ", 0) == 0) s.push_back(entry);
    }
    owner_->log.clear();
    return s;
  };
  using Seeks = std::vector<std::string>;

  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(20), row);
  EXPECT_EQ(GetCapture(), chart);
  PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, column(60), p.top - 5);  // off the plot's rows too
  PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, column(60), row);        // the same frame: no seek
  PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, p.right + 300, row);     // beyond the end
  PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, -50, row);
  PostMouse(chart, WM_LBUTTONUP, 0, -50, row);
  EXPECT_EQ(GetCapture(), nullptr);
  PostMouse(chart, WM_MOUSEMOVE, 0, column(70), row);  // no button: no scrub
  EXPECT_EQ(seeks(), (Seeks{"seek 20", "seek 60", "seek 100", "seek 0"}));

  // Inside a switch press: its start; the drag from there follows the pointer.
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(45), row);
  PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, column(47), row);
  PostMouse(chart, WM_LBUTTONUP, 0, column(47), row);
  EXPECT_EQ(seeks(), (Seeks{"seek 40", "seek 47"}));

  // Beside the plot, or with nothing loaded, a press seeks nowhere.
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(30), p.bottom + 3);
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, p.left - 3, row);
  EXPECT_NE(GetCapture(), chart);
  fixed_.shown = nullptr;
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(30), row);
  EXPECT_EQ(seeks(), Seeks{});
}

TEST_F(PanelTest, ScrubbingOnTheChartMovesThePlayersPictureWhileTheButtonIsHeld) {
  open();
  owner_->player = player_;
  settle();
  const HWND chart = owner_->chart->handle();
  const chart::Plot p = plotOnScreen();
  const int row = (p.top + p.bottom) / 2;
  const int32_t n = player_->frameCount();
  const auto column = [&](int32_t frame) { return chart::FrameX(owner_->chart->plot(), frame, n) + chart::kDrawingX; };
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(30), row);
  EXPECT_EQ(player_->currentFrame(), 30);
  for (int32_t frame : {50, 70}) {
    const Image* before = player_->picture();
    PostMouse(chart, WM_MOUSEMOVE, MK_LBUTTON, column(frame), row);
    EXPECT_EQ(player_->currentFrame(), frame);
    EXPECT_TRUE(PumpUntil([&] { return player_->picture() != before; }, kPatienceMs)) << "no new picture";
    EXPECT_TRUE(owner_->chart->scrubbing());
    EXPECT_EQ(player_->state(), PlayerState::Paused);
  }
  PostMouse(chart, WM_LBUTTONUP, 0, column(70), row);
  EXPECT_FALSE(owner_->chart->scrubbing());
  // While playing, a seek from the chart plays on from there.
  player_->playFrom(0);
  PostMouse(chart, WM_LBUTTONDOWN, MK_LBUTTON, column(40), row);
  PostMouse(chart, WM_LBUTTONUP, 0, column(40), row);
  EXPECT_EQ(player_->state(), PlayerState::Playing);
  EXPECT_GE(player_->currentFrame(), 40);
  player_->pause();
}

// The frame's point sits where its lateral (Y, right) and longitudinal (X, up) G put it;
// the pictures before it leave a darker trail, and without a recording there is no point.
TEST_F(PanelTest, GCircleShowsTheFramesPointAndAFadingTrail) {
  makePanels(fixed_);
  GCircle* circle = new GCircle(*owner_, fixed_);
  MoveWindow(circle->handle(), 700, 200, 100, 100, TRUE);
  EXPECT_FALSE(IsWindowVisible(circle->handle())) << "hidden until asked for";
  circle->setShown(true);
  StandInInfo info({DriveEntry(0, 0.5, -0.5, 1.0, 1.2), DriveEntry(0, 0.0, 1.0, 1.0, 1.4)});
  fixed_.shown = &info;
  fixed_.frame = 1;
  circle->refresh();
  GdiFlush();
  std::unique_ptr<Image> shot = CaptureClient(circle->handle());
  const drivevalues::Point now = drivevalues::CirclePoint(100, 1.0, 0.0);
  const drivevalues::Point before = drivevalues::CirclePoint(100, -0.5, 0.5);
  EXPECT_EQ(PixelAt(*shot, now.x, now.y) & 0xFFFFFF, kAmber);
  const uint32_t trail = PixelAt(*shot, before.x, before.y) & 0xFFFFFF;
  EXPECT_NE(trail, kAmber);
  EXPECT_GT(trail >> 16 & 0xFF, 0x40u) << "the trail is a dimmer amber";
  fixed_.shown = nullptr;
  circle->refresh();
  GdiFlush();
  shot = CaptureClient(circle->handle());
  EXPECT_EQ(CountOf(*shot, RECT{0, 0, 100, 100}, kAmber), 0);
  DestroyWindow(circle->handle());
}

// One window at a time; a click on a time, or Tab and Enter, seeks there and the window
// stays; with nothing open it is empty; Esc closes it.
TEST_F(PanelTest, DriveSummaryLinksSeekThePicture) {
  makePanels(fixed_);
  std::vector<std::optional<FrameEntry>> slots(40, DriveEntry(30, 0.1, 0.0, 1.0, 1.0));
  slots[25] = DriveEntry(72, -0.6, 0.2, 1.0, 1.3);  // the fastest moment and every peak
  StandInInfo info(slots);
  fixed_.shown = &info;
  DriveSummaryWindow* open = nullptr;
  DriveSummaryWindow& window = DriveSummaryWindow::Show(*owner_, fixed_, open);
  EXPECT_EQ(open, &window);
  EXPECT_EQ(&DriveSummaryWindow::Show(*owner_, fixed_, open), &window) << "one window at a time";
  EXPECT_EQ(GetWindow(window.handle(), GW_OWNER), owner_->handle());
  const std::vector<summarytext::Line>& lines = window.lines();
  size_t fastest = lines.size();
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].label == LoadText(kTextSummaryMaxSpeed)) fastest = i;
  ASSERT_LT(fastest, lines.size());
  EXPECT_EQ(lines[fastest].slot, 25);
  const RECT r = window.linkRect(fastest);
  owner_->log.clear();
  SendMessageW(window.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  SendMessageW(window.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // no link there
  SendMessageW(window.handle(), WM_KEYDOWN, VK_HOME, 0);  // not the window's key
  window.update();
  SendMessageW(window.handle(), WM_KEYDOWN, VK_TAB, 0);  // the first link: the start
  SendMessageW(window.handle(), WM_KEYDOWN, VK_RETURN, 0);
  // Round to the last link, the combined G's peak (the count of presses has none).
  SendMessageW(window.handle(), WM_KEYDOWN, VK_UP, 0);
  SendMessageW(window.handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(owner_->log, (std::vector<std::string>{"seek 25", "seek 0", "seek 25"}));
  EXPECT_TRUE(IsWindow(window.handle())) << "the window stays open";
  fixed_.shown = nullptr;
  window.update();
  EXPECT_TRUE(window.lines().empty());
  SendMessageW(window.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(open, nullptr);
}
