#include "toolkit/ImageButton_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScreenCapture_win.h"
#include "Wait_win.h"
#include "WidgetTestSupport_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

// The stop button's pictures: 26 x 26, normal, pressed and disabled.
constexpr int kNormal = 10018;
constexpr int kPressed = 10019;
constexpr int kDisabled = 10020;
constexpr int kSide = 26;

struct Recorder : ImageButtonListener {
  void OnClick(ImageButton*) override { log.push_back("click"); }
  // A press the button does not show as held is logged apart.
  void OnPress(ImageButton* button) override {
    log.push_back(button->IsDown() ? "press" : "press while up");
    ++presses;
  }
  std::vector<std::string> log;
  int presses = 0;
};

// A button on the host window; it goes with its window at the end of the test.
struct Placed {
  explicit Placed(ImageButtonListener* listener, int normal = kNormal, int pressed = kPressed,
                  int disabled = kDisabled)
      : button(new ImageButton) {
    button->Create(WidgetHost(), 10, 10, kSide, kSide);
    guard.reset(button->handle());
    button->SetImages(normal, pressed, disabled);
    button->listener = listener;
  }
  HWND hwnd() const { return guard.get(); }
  // True while the button's repeat timer exists (and removes it): without it no repeat
  // can come any more.
  bool repeating() const { return KillTimer(hwnd(), 0) != FALSE; }
  ImageButton* button;
  ScopedWindowHandle guard;
};

enum class Act { Down, Up, Enter, EnterRepeat, EnterUp, KeyA, KeyAUp };
struct Step {
  Act act;
  int x = 5;
  int y = 5;
};

void Perform(HWND hwnd, const Step& s) {
  const std::function<void()> gestures[] = {
      [&] { MouseDown(hwnd, s.x, s.y); }, [&] { MouseUp(hwnd, s.x, s.y); },
      [&] { KeyDown(hwnd, VK_RETURN); },  [&] { KeyDown(hwnd, VK_RETURN, true); },
      [&] { KeyUp(hwnd, VK_RETURN); },    [&] { KeyDown(hwnd, 'A'); },
      [&] { KeyUp(hwnd, 'A'); },
  };
  gestures[static_cast<int>(s.act)]();
}

using Log = std::vector<std::string>;

}  // namespace

TEST(ImageButton, InputSequencesGiveTheirPressesAndClicks) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    Log expected;
  } cases[] = {
      {"quick click inside", {{Act::Down}, {Act::Up}}, {"press", "click"}},
      {"release on the last pixel inside",
       {{Act::Down}, {Act::Up, kSide - 1, kSide - 1}},
       {"press", "click"}},
      {"release right of the button", {{Act::Down}, {Act::Up, kSide, 5}}, {"press"}},
      {"release below the button", {{Act::Down}, {Act::Up, 5, kSide}}, {"press"}},
      {"release left of the button", {{Act::Down}, {Act::Up, -1, 5}}, {"press"}},
      {"release above the button", {{Act::Down}, {Act::Up, 5, -3}}, {"press"}},
      // The press went to a window that has closed since (a double-click in a chooser).
      {"release it never saw pressed", {{Act::Up}}, {}},
      {"second release after one press", {{Act::Down}, {Act::Up}, {Act::Up}}, {"press", "click"}},
      {"Enter pressed and released", {{Act::Enter}, {Act::EnterUp}}, {"press", "click"}},
      {"Enter auto-repeat presses once",
       {{Act::Enter}, {Act::EnterRepeat}, {Act::EnterRepeat}, {Act::EnterUp}},
       {"press", "click"}},
      {"Enter already down when focus came", {{Act::EnterUp}}, {}},
      {"Enter released after a mouse click",
       {{Act::Down}, {Act::Up}, {Act::EnterUp}},
       {"press", "click"}},
      {"Enter released twice", {{Act::Enter}, {Act::EnterUp}, {Act::EnterUp}}, {"press", "click"}},
      {"other keys do nothing", {{Act::KeyA}, {Act::KeyAUp}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder listener;
    Placed placed(&listener);
    for (const Step& s : c.steps) Perform(placed.hwnd(), s);
    EXPECT_EQ(listener.log, c.expected);
    EXPECT_FALSE(placed.button->IsDown());
    EXPECT_NE(GetCapture(), placed.hwnd());
    Placed silent(nullptr);  // the same input with nobody to tell
    for (const Step& s : c.steps) Perform(silent.hwnd(), s);
    EXPECT_FALSE(silent.button->IsDown());
  }
}

// Holding repeats OnPress from a 100 ms timer: never faster, and never after the end.
TEST(ImageButton, HoldingRepeatsThePressUntilReleased) {
  const struct {
    const char* name;
    Act down;
    Act up;
  } holds[] = {{"mouse", Act::Down, Act::Up}, {"Enter", Act::Enter, Act::EnterUp}};
  for (const auto& h : holds) {
    SCOPED_TRACE(h.name);
    Recorder listener;
    Placed placed(&listener);
    const DWORD start = GetTickCount();
    Perform(placed.hwnd(), {h.down});
    ASSERT_TRUE(WaitFor([&] { return listener.presses >= 3; }));
    const DWORD held = GetTickCount() - start;
    const int repeats = listener.presses - 1;
    EXPECT_GE(repeats, 1) << "no repeat in " << held << " ms";
    EXPECT_LE(repeats, static_cast<int>(held / 90)) << "repeats faster than every 100 ms";
    Perform(placed.hwnd(), {h.up});
    EXPECT_EQ(listener.log.back(), "click");
    const int afterRelease = listener.presses;
    EXPECT_FALSE(placed.repeating()) << "repeats go on after the release";
    PumpPending();
    EXPECT_EQ(listener.presses, afterRelease) << "repeats went on after the release";
  }
}

TEST(ImageButton, RepeatsStopWhenTheButtonIsDisabledOrLosesTheCapture) {
  const struct {
    const char* name;
    std::function<void(Placed&)> interrupt;
  } interruptions[] = {
      {"disabled", [](Placed& p) { p.button->setEnabled(false); }},
      {"capture lost", [](Placed&) { SetCapture(WidgetHost()); }},
  };
  for (const auto& i : interruptions) {
    SCOPED_TRACE(i.name);
    Recorder listener;
    Placed placed(&listener);
    MouseDown(placed.hwnd(), 5, 5);
    ASSERT_TRUE(WaitFor([&] { return listener.presses >= 2; }));
    i.interrupt(placed);
    const int presses = listener.presses;
    EXPECT_FALSE(placed.repeating());
    PumpPending();
    EXPECT_EQ(listener.presses, presses);
    EXPECT_EQ(listener.log.back(), "press") << "no click without a release";
    ReleaseCapture();
  }
}

// The pointer's shape over the button: its own cursor, or the class arrow. A stale shape
// (the resize arrow of a splitter just left) must not stay.
TEST(ImageButton, SetCursorShowsTheButtonsCursorOrTheClassCursor) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  const HCURSOR stale = LoadCursorW(nullptr, IDC_SIZEWE);
  const struct {
    const char* name;
    HCURSOR configured;
    HCURSOR expected;
  } cases[] = {{"own cursor", hand, hand}, {"none configured", nullptr, arrow}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Placed placed(nullptr);
    placed.button->cursor = c.configured;
    SetCursor(stale);
    SendMessageW(placed.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(placed.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), c.expected);
  }
}

TEST(ImageButton, AsksForEnterButNoOtherKey) {
  const struct {
    const char* name;
    UINT message;
    WPARAM key;
    LRESULT expected;
  } cases[] = {
      {"no message", 0, 0, DLGC_WANTALLKEYS | DLGC_WANTCHARS},
      {"Enter down", WM_KEYDOWN, VK_RETURN, DLGC_WANTALLKEYS | DLGC_WANTCHARS},
      {"Enter as a character", WM_CHAR, L'\r', DLGC_WANTALLKEYS | DLGC_WANTCHARS},
      {"Tab down", WM_KEYDOWN, VK_TAB, 0},
      {"a character", WM_CHAR, L'a', 0},
  };
  Placed placed(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MSG asked = {};
    asked.hwnd = placed.hwnd();
    asked.message = c.message;
    asked.wParam = c.key;
    const LPARAM lParam = c.message == 0 ? 0 : reinterpret_cast<LPARAM>(&asked);
    EXPECT_EQ(SendMessageW(placed.hwnd(), WM_GETDLGCODE, c.key, lParam), c.expected);
  }
}

namespace {

enum class Look { Normal, Pressed, Disabled, NormalOneLower, Background };

// What the client area must show for a look, from the pictures themselves.
void ExpectLook(const Image& shown, Look look) {
  const int ids[] = {kNormal, kPressed, kDisabled, kNormal};
  if (look == Look::Background) {
    EXPECT_EQ(Block(shown, 0, kSide, 0, kSide),
              std::vector<uint32_t>(kSide * kSide, Rgb(GetSysColor(COLOR_BTNFACE))));
    return;
  }
  const AlphaImage picture(ids[static_cast<int>(look)]);
  ASSERT_EQ(picture.Width(), kSide);
  if (look == Look::NormalOneLower) {
    EXPECT_EQ(Block(shown, 0, kSide, 1, kSide), Block(*picture.Picture(), 0, kSide, 0, kSide - 1));
    EXPECT_EQ(PixelAt(shown, kSide / 2, 0), Rgb(GetSysColor(COLOR_BTNSHADOW))) << "sunken frame's top";
    return;
  }
  EXPECT_EQ(Block(shown, 0, kSide, 0, kSide), Block(*picture.Picture(), 0, kSide, 0, kSide));
}

}  // namespace

TEST(ImageButton, DrawsThePictureOfItsState) {
  const struct {
    const char* name;
    int pressed;
    int disabled;
    bool drawEdge;
    bool enabled;
    bool held;
    Look look;
  } cases[] = {
      {"normal", kPressed, kDisabled, true, true, false, Look::Normal},
      {"held", kPressed, kDisabled, true, true, true, Look::Pressed},
      {"held without frame", kPressed, kDisabled, false, true, true, Look::Pressed},
      {"disabled", kPressed, kDisabled, true, false, false, Look::Disabled},
      {"disabled without its picture", kPressed, 0, true, false, false, Look::Normal},
      {"held without pressed picture", 0, 0, true, true, true, Look::NormalOneLower},
      {"held without pressed picture or frame", 0, 0, false, true, true, Look::Background},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Placed placed(nullptr, kNormal, c.pressed, c.disabled);
    placed.button->drawEdge = c.drawEdge;
    placed.button->setEnabled(c.enabled);
    if (c.held) MouseDown(placed.hwnd(), 5, 5);
    // A whole repaint, as when the button is uncovered: pressing alone repaints only
    // when the look changes.
    InvalidateRect(placed.hwnd(), nullptr, TRUE);
    ExpectLook(*CapturePainted(placed.hwnd()), c.look);
    ReleaseCapture();
  }
}
