#include "toolkit/ImageTrackBar_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ScreenCapture_win.h"
#include "Wait_win.h"
#include "WidgetTestSupport_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/TrackToolTip_win.h"

namespace {

// The volume slider's pictures: thumb 10 x 16, track 151 x 16; the brightness track
// serves as a fill picture of the same size.
constexpr int kThumb = 291;
constexpr int kTrack = 403;
constexpr int kFill = 10001;
constexpr int kWidth = 151;
constexpr int kHeight = 16;
constexpr int kThumbWidth = 10;

struct Recorder : ImageTrackBarListener {
  void OnTrackChange(ImageTrackBar* bar) override { note("change", bar); }
  void OnTrackBegin(ImageTrackBar* bar) override { note("begin", bar); }
  void OnTrackEnd(ImageTrackBar* bar) override { note("end", bar); }
  void note(const char* what, ImageTrackBar* bar) {
    log.push_back(what);
    if (hook) hook(what, bar);
  }
  int count(const std::string& what) const {
    int n = 0;
    for (const auto& entry : log) n += entry == what;
    return n;
  }
  std::vector<std::string> log;
  std::function<void(const std::string&, ImageTrackBar*)> hook;
};

// Shows what subclasses see, and records the calls of the track drawing.
class OpenBar : public ImageTrackBar {
 public:
  using ImageTrackBar::thumbX;
  std::vector<std::pair<int, int>> drawTrackCalls;
  bool ownTrack = false;

 protected:
  void DrawTrack(HDC dc, int width, int height) override {
    drawTrackCalls.emplace_back(width, height);
    if (!ownTrack) return ImageTrackBar::DrawTrack(dc, width, height);
    // A subclass's own track: red left of the thumb, blue right of it.
    RECT left = {0, 0, thumbX(), height};
    RECT right = {thumbX() + thumbWidth(), 0, width, height};
    ScopedGdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
    ScopedGdiObject blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(dc, &left, static_cast<HBRUSH>(red.get()));
    FillRect(dc, &right, static_cast<HBRUSH>(blue.get()));
  }
};

struct Placed {
  explicit Placed(ImageTrackBarListener* listener, int width = kWidth, bool pictures = true)
      : bar(new OpenBar) {
    bar->Create(WidgetHost(), 10, 60, width, kHeight);
    guard.reset(bar->handle());
    if (pictures) bar->SetImages(kThumb, kTrack, 0);
    bar->listener = listener;
  }
  HWND hwnd() const { return guard.get(); }
  OpenBar* bar;
  ScopedWindowHandle guard;
};

using Log = std::vector<std::string>;

std::wstring Formatted(int32_t v) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%3.1f", v / 10.0);
  return text;
}

}  // namespace

TEST(ImageTrackBar, ThumbPositionFollowsTheValue) {
  const struct {
    int32_t minimum, maximum;
    int width;
    int32_t value;
    int thumbX;
  } cases[] = {
      {0, 16, 151, 16, 141}, {0, 16, 151, 8, 70},   {0, 16, 151, 0, 0},    {5, 5, 151, 5, 0},
      {1, 50, 151, 1, 0},    {1, 50, 151, 50, 141}, {-10, 10, 151, 0, 70}, {0, 16, 10, 16, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " on " << c.width
                                    << " px, value " << c.value);
    Placed placed(nullptr, c.width);
    placed.bar->SetRange(c.minimum, c.maximum);
    placed.bar->SetValue(c.value, false);
    EXPECT_EQ(placed.bar->PixelFromValue(c.value), c.thumbX);
    EXPECT_EQ(placed.bar->thumbX(), c.thumbX);
  }
}

TEST(ImageTrackBar, RangeAndValueStayWithinEachOther) {
  const struct {
    const char* name;
    int32_t before;
    int32_t minimum, maximum;
    int32_t setValue;
    bool notify;
    int32_t min, max, value;
    int changes;
  } cases[] = {
      {"maximum below minimum", 0, 5, 3, 5, true, 5, 5, 5, 0},
      {"value above the new range", 20, 0, 16, 16, true, 0, 16, 16, 0},
      {"value below the new range", 0, 10, 20, 10, true, 10, 20, 10, 0},
      {"value set above the range", 0, 0, 16, 99, true, 0, 16, 16, 1},
      {"value set below the range", 8, 0, 16, -4, true, 0, 16, 0, 1},
      {"same value again", 8, 0, 16, 8, true, 0, 16, 8, 0},
      {"new value, not told", 8, 0, 16, 9, false, 0, 16, 9, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder listener;
    Placed placed(nullptr);
    placed.bar->SetValue(c.before, false);
    placed.bar->listener = &listener;
    placed.bar->SetRange(c.minimum, c.maximum);
    placed.bar->SetValue(c.setValue, c.notify);
    EXPECT_EQ(placed.bar->Minimum(), c.min);
    EXPECT_EQ(placed.bar->Maximum(), c.max);
    EXPECT_EQ(placed.bar->Value(), c.value);
    EXPECT_EQ(listener.count("change"), c.changes);
    EXPECT_EQ(placed.bar->thumbX(), placed.bar->PixelFromValue(c.value));
  }
}

// The value under the pointer is the one whose thumb is drawn there, whatever the
// range's start; a bar no wider than its thumb has only its minimum.
TEST(ImageTrackBar, ValueUnderThePointerMatchesTheDrawnThumb) {
  const struct {
    int32_t minimum, maximum;
    int width;
    int thumbLeft;  // where the pointer puts the thumb's left edge
    int32_t value;
  } cases[] = {
      {1, 50, 151, 0, 1},    {1, 50, 151, 70, 25}, {1, 50, 151, 141, 50}, {1, 50, 151, -30, 1},
      {1, 50, 151, 500, 50}, {0, 16, 151, 70, 7},  {0, 16, 151, 141, 16}, {-10, 10, 151, 0, -10},
      {1, 50, 10, 100, 1},   {1, 50, 6, -20, 1},   {1, 50, 6, 100, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " on " << c.width
                                    << " px, thumb at " << c.thumbLeft);
    Placed placed(nullptr, c.width);
    placed.bar->SetRange(c.minimum, c.maximum);
    placed.bar->SetValue(c.maximum, false);
    placed.bar->ValueFromPixel(c.thumbLeft + kThumbWidth / 2, false);
    EXPECT_EQ(placed.bar->Value(), c.value);
  }
  for (const int32_t minimum : {0, 1, 7}) {
    Placed placed(nullptr);
    placed.bar->SetRange(minimum, minimum + 49);
    for (int x = 0; x <= kWidth - kThumbWidth; ++x) {
      placed.bar->ValueFromPixel(x + kThumbWidth / 2, false);
      const int32_t v = placed.bar->Value();
      EXPECT_LE(placed.bar->PixelFromValue(v), x) << "range from " << minimum << ", x " << x;
      if (v < placed.bar->Maximum()) {
        EXPECT_GE(placed.bar->PixelFromValue(v + 1), x) << "range from " << minimum << ", x " << x;
      }
    }
  }
}

namespace {

// A gesture of the mouse at client x, halfway down the bar.
struct Step {
  void (*gesture)(HWND, int, int);
  int x;
};

}  // namespace

TEST(ImageTrackBar, MouseSequencesNotifyAndMoveTheValue) {
  // Range 0..16 starting at 8 (thumb at 70..80).
  const struct {
    const char* name;
    std::vector<Step> steps;
    Log expected;
    int32_t value;
  } cases[] = {
      {"click on the thumb", {{MouseDown, 72}}, {"begin", "change"}, 8},
      {"click on the thumb's right edge", {{MouseDown, 80}}, {"begin", "change"}, 8},
      {"click on the thumb and release",
       {{MouseDown, 72}, {MouseUp, 72}},
       {"begin", "change", "change", "end"},
       8},
      {"click on the track", {{MouseDown, 0}}, {"begin", "change"}, 0},
      {"click right of the thumb", {{MouseDown, 81}}, {"begin", "change"}, 9},
      {"drag to the end",
       {{MouseDown, 0}, {MouseMove, 70}, {MouseMove, 141}, {MouseUp, 141}},
       {"begin", "change", "change", "end"},
       16},
      {"jump at the release",
       {{MouseDown, 0}, {MouseUp, 141}},
       {"begin", "change", "change", "change", "end"},
       16},
      {"drag beyond the left end",
       {{MouseDown, 72}, {MouseMove, -40}, {MouseUp, -40}},
       {"begin", "change", "change", "end"},
       0},
      {"move without a press", {{MouseMove, 141}}, {}, 8},
      {"release without a press", {{MouseUp, 141}}, {}, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder listener;
    Placed placed(nullptr);
    placed.bar->SetRange(0, 16);
    placed.bar->SetValue(8, false);
    placed.bar->listener = &listener;
    for (const Step& s : c.steps) s.gesture(placed.hwnd(), s.x, kHeight / 2);
    EXPECT_EQ(listener.log, c.expected);
    EXPECT_EQ(placed.bar->Value(), c.value);
    ReleaseCapture();
  }
}

// Without pictures the bar ignores positions and paints nothing over its background,
// but still captures the mouse and notifies.
TEST(ImageTrackBar, ABarWithoutPicturesStillNotifiesAndCaptures) {
  Recorder listener;
  Placed placed(&listener, kWidth, false);
  placed.bar->SetRange(0, 16);
  placed.bar->SetValue(16, false);
  EXPECT_EQ(placed.bar->thumbX(), 0);
  MouseDown(placed.hwnd(), 5, 8);
  EXPECT_EQ(GetCapture(), placed.hwnd());
  MouseUp(placed.hwnd(), 5, 8);
  EXPECT_EQ(listener.log, (Log{"begin", "change", "change", "end"}));
  EXPECT_EQ(placed.bar->Value(), 16);
  InvalidateRect(placed.hwnd(), nullptr, TRUE);
  EXPECT_EQ(Block(*CapturePainted(placed.hwnd()), 0, kWidth, 0, kHeight),
            std::vector<uint32_t>(kWidth * kHeight, Rgb(GetSysColor(COLOR_BTNFACE))));
}

TEST(ImageTrackBar, TicksWhileHeldAndStopsAtTheRelease) {
  Recorder listener;
  Placed placed(&listener);
  placed.bar->SetRange(0, 16);
  MouseDown(placed.hwnd(), 0, 8);
  ASSERT_TRUE(WaitFor([&] { return listener.count("change") >= 4; }));
  EXPECT_EQ(listener.count("end"), 0);
  MouseUp(placed.hwnd(), 0, 8);
  const size_t entries = listener.log.size();
  EXPECT_FALSE(KillTimer(placed.hwnd(), 0)) << "the tick timer outlived the release";
  PumpPending();
  EXPECT_EQ(listener.log.size(), entries) << "ticks after the release";
  EXPECT_EQ(listener.log.back(), "end");
}

namespace {

// A bar with its tracking tooltip on the host window.
struct Tipped : Placed {
  explicit Tipped(ImageTrackBarListener* listener) : Placed(listener), tip(new TrackToolTip) {
    tip->Create(WidgetHost());
    tipGuard.reset(tip->handle());
    bar->SetRange(0, 16);
    bar->tooltip = tip;
    tip->AddTrackTool(hwnd(), bar->ValueText());
  }
  bool tipShown() const { return IsWindowVisible(tip->handle()) != FALSE; }
  std::wstring tipText() const { return ToolText(tip->handle(), hwnd()); }
  // True while the bar's tick timer exists (and removes it).
  bool ticking() const { return KillTimer(hwnd(), 0) != FALSE; }
  TrackToolTip* tip;
  ScopedWindowHandle tipGuard;
};

}  // namespace

TEST(ImageTrackBar, TheTooltipShowsTheValueWhileDragging) {
  const struct {
    const char* name;
    bool formatted;
    std::wstring atDown, afterMove;
  } cases[] = {{"decimal", false, L"0", L"16"}, {"formatter", true, L"0.0", L"1.6"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Tipped placed(nullptr);
    if (c.formatted) placed.bar->formatter = Formatted;
    EXPECT_FALSE(placed.tipShown());
    MouseDown(placed.hwnd(), 0, 8);
    EXPECT_TRUE(placed.tipShown());
    EXPECT_EQ(placed.tipText(), c.atDown);
    MouseMove(placed.hwnd(), 141, 8);
    EXPECT_EQ(placed.tipText(), c.afterMove);
    EXPECT_EQ(placed.bar->ValueText(), c.afterMove);
    MouseUp(placed.hwnd(), 141, 8);
    EXPECT_FALSE(placed.tipShown());
  }
}

namespace {

// What the value tip shows on the display after pressing at `downX` and dragging to
// `moveX`, the tip placed at the same spot every time.
std::vector<uint32_t> TipPixelsAfterDrag(int downX, int moveX) {
  Tipped placed(nullptr);
  MouseDown(placed.hwnd(), downX, 8);
  MouseMove(placed.hwnd(), moveX, 8);
  std::unique_ptr<Image> shown = CapturePainted(placed.tip->handle());
  std::vector<uint32_t> pixels = Block(*shown, 0, shown->Width(), 0, shown->Height());
  MouseUp(placed.hwnd(), moveX, 8);
  return pixels;
}

}  // namespace

// The tip's text changes while it is up; the display must show the new text, not the
// one it had when the drag began.
TEST(ImageTrackBar, TheTooltipRedrawsTheValueItFollows) {
  const std::vector<uint32_t> dragged = TipPixelsAfterDrag(0, 141);
  const std::vector<uint32_t> pressedThere = TipPixelsAfterDrag(141, 141);
  EXPECT_FALSE(dragged.empty());
  EXPECT_EQ(dragged, pressedThere);
}

// A message box or a switch to another program takes the capture in the middle of a
// drag: the drag ends there, without OnTrackEnd, and leaves no tooltip on screen.
TEST(ImageTrackBar, LosingTheCaptureEndsTheDragWithoutEnd) {
  const struct {
    const char* name;
    bool inBeginHandler;  // the listener itself takes the capture
  } cases[] = {{"while held", false}, {"from the listener at the press", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder listener;
    Tipped placed(&listener);
    std::vector<bool> heldAtCall;
    listener.hook = [&](const std::string& what, ImageTrackBar* bar) {
      heldAtCall.push_back(GetCapture() == bar->handle());
      if (what == "begin" && c.inBeginHandler) SetCapture(WidgetHost());
    };
    MouseDown(placed.hwnd(), 0, 8);
    if (!c.inBeginHandler) {
      EXPECT_EQ(heldAtCall, (std::vector<bool>{true, true})) << "listeners came before the capture";
      EXPECT_TRUE(placed.tipShown());
      SetCapture(WidgetHost());
    }
    EXPECT_NE(GetCapture(), placed.hwnd());
    EXPECT_FALSE(placed.tipShown());
    EXPECT_FALSE(placed.ticking());
    PumpPending();
    EXPECT_EQ(listener.count("end"), 0);
    EXPECT_FALSE(placed.tipShown());
    ReleaseCapture();
  }
}

namespace {

// The bar's expected pixels: `base` picture columns, the thumb at thumbLeft on top.
std::vector<uint32_t> Composed(const AlphaImage& base, int thumbLeft) {
  const AlphaImage thumb(kThumb);
  std::vector<uint32_t> expected = Block(*base.Picture(), 0, kWidth, 0, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kThumbWidth; ++x) {
      expected[static_cast<size_t>(y * kWidth + thumbLeft + x)] = PixelAt(*thumb.Picture(), x, y);
    }
  }
  return expected;
}

}  // namespace

TEST(ImageTrackBar, PaintsTheTrackAndTheThumb) {
  const AlphaImage track(kTrack);
  const AlphaImage fill(kFill);
  ASSERT_NE(Block(*track.Picture(), 0, kWidth, 0, kHeight),
            Block(*fill.Picture(), 0, kWidth, 0, kHeight))
      << "the test needs a fill picture that differs from the track";
  const struct {
    const char* name;
    bool segmented;
    int32_t value;
    const AlphaImage& base;  // what lies under the thumb's whole travel
  } cases[] = {
      {"natural, empty", false, 0, track}, {"natural, middle", false, 8, track},
      {"natural, full", false, 16, track}, {"segmented, empty", true, 0, track},
      {"segmented, full", true, 16, fill},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Placed placed(nullptr);
    placed.bar->SetImages(kThumb, kTrack, kFill);
    placed.bar->segmented = c.segmented;
    placed.bar->SetRange(0, 16);
    placed.bar->SetValue(c.value, false);
    InvalidateRect(placed.hwnd(), nullptr, TRUE);
    const auto shown = CapturePainted(placed.hwnd());
    EXPECT_EQ(Block(*shown, 0, kWidth, 0, kHeight), Composed(c.base, placed.bar->thumbX()));
  }
}

TEST(ImageTrackBar, SegmentedTrackIsFilledUpToTheThumb) {
  const AlphaImage track(kTrack);
  const AlphaImage fill(kFill);
  const AlphaImage thumb(kThumb);
  Placed placed(nullptr);
  placed.bar->SetImages(kThumb, kTrack, kFill);
  placed.bar->segmented = true;
  placed.bar->SetRange(0, 16);
  placed.bar->SetValue(8, false);
  const auto shown = CapturePainted(placed.hwnd());
  const int half = kThumbWidth / 2;
  EXPECT_EQ(Block(*shown, 0, half, 0, kHeight), Block(*fill.Picture(), 0, half, 0, kHeight))
      << "left cap";
  EXPECT_EQ(Block(*shown, kWidth - half, kWidth, 0, kHeight),
            Block(*track.Picture(), kWidth - half, kWidth, 0, kHeight))
      << "right cap";
  EXPECT_EQ(Block(*shown, 70, 70 + kThumbWidth, 0, kHeight),
            Block(*thumb.Picture(), 0, kThumbWidth, 0, kHeight));
}

TEST(ImageTrackBar, SubclassesDrawTheTrackThemselves) {
  const struct {
    bool segmented;
    size_t calls;
  } cases[] = {{false, 0}, {true, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.segmented ? "segmented" : "natural");
    Placed placed(nullptr);
    UpdateWindow(placed.hwnd());
    placed.bar->ownTrack = true;
    placed.bar->segmented = c.segmented;
    placed.bar->SetRange(0, 16);
    placed.bar->drawTrackCalls.clear();
    placed.bar->SetValue(8, false);  // moves the thumb: one repaint
    EXPECT_EQ(placed.bar->drawTrackCalls.size(), c.calls);
    const auto shown = CapturePainted(placed.hwnd());
    if (c.segmented) {
      EXPECT_EQ(placed.bar->drawTrackCalls.front(), std::make_pair(kWidth, kHeight));
      EXPECT_EQ(PixelAt(*shown, 69, 8), 0xFF0000u);
      EXPECT_EQ(PixelAt(*shown, 80, 8), 0x0000FFu);
    } else {
      EXPECT_NE(PixelAt(*shown, 69, 8), 0xFF0000u);
    }
  }
}
