// Pathscope.exe started as a process of its own on the virtual display and used from
// outside like its user would: the menu, the file chooser, the console's buttons and
// slider, the close box and the boxes it asks with. Every wait has a deadline; a failing
// test leaves a screenshot.
#include <windows.h>

#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PanelTestOwner_win.h"
#include "RemoteMemory_win.h"
#include "StandInInfo.h"
#include "DemoCard.h"
#include "TempDir.h"
#include "ViewerDriver_win.h"
#include "app/ResourceIds.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"
#include "playback/IFrameSource.h"
#include "playback/ChartLayout.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "toolkit/MessagePump_win.h"

namespace fs = std::filesystem;

namespace {

std::wstring AppName() { return LoadText(kTextAppName); }

// Places of the console's buttons and of its position slider.
constexpr POINT kPlay{23, 11};
constexpr POINT kStop{67, 18};
constexpr POINT kPreviousDate{107, 17};
constexpr POINT kNextDate{140, 17};
constexpr POINT kPrevious{198, 22};
constexpr POINT kNext{220, 22};
constexpr POINT kSlider{249, 26};
// The open button of the volume and brightness panel.
constexpr POINT kOpen{57, 178};

// The demo card's drives, each cut to a few seconds; the last one to `lastSeconds` when
// that is given.
std::vector<recsim::DemoCard::Recording> ShortDrives(int seconds, int lastSeconds = 0) {
  std::vector<recsim::DemoCard::Recording> plan = recsim::DemoCard::Plan();
  for (auto& r : plan) {
    r.description.durationMs = (&r == &plan.back() && lastSeconds > 0 ? lastSeconds : seconds) * 1000;
    r.description.switchPressesMs.clear();
    r.description.width = 320;
    r.description.height = 240;
  }
  return plan;
}

// Keeps only the first bytes of a recording: the folder scan still reads its start time,
// the reader refuses it.
void MakeUnreadable(const fs::path& path) { fs::resize_file(path, 64); }

class EndToEndTest : public ::testing::Test {
 protected:
  explicit EndToEndTest(int driveSeconds = 3, int lastDriveSeconds = 0)
      : driveSeconds_(driveSeconds), lastDriveSeconds_(lastDriveSeconds) {}
  void SetUp() override {
    card_ = dir_.path() / "card";
    recsim::DemoCard::Write(card_.wstring(), ShortDrives(driveSeconds_, lastDriveSeconds_));
    viewer_ = std::make_unique<ViewerProcess>(PATHSCOPE_EXE, dir_.path().wstring());
    ASSERT_TRUE(viewer_->started());
    ASSERT_NE(viewer_->mainWindow(kPatienceMs), nullptr);
  }
  void TearDown() override {
    if (HasFailure()) shot("failed");
    viewer_.reset();
  }
  void shot(const std::string& checkpoint) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::create_directories(fs::path(PATHSCOPE_SHOTS));
    const fs::path file = fs::path(PATHSCOPE_SHOTS) /
                          (std::string(info->test_suite_name()) + "." + info->name() + "-" + checkpoint + ".bmp");
    SaveScreenshot(file.wstring());
  }
  std::wstring recording(const wchar_t* name) const { return (card_ / name).wstring(); }
  std::wstring titleFor(const std::wstring& path) const { return path + L" - " + AppName(); }
  bool titleBecomes(const std::wstring& title) {
    return WaitFor([&] { return viewer_->title() == title; }, kPatienceMs);
  }
  HWND main() { return viewer_->mainWindow(); }
  RECT client() {
    RECT r;
    GetClientRect(main(), &r);
    return r;
  }
  // The panel of the date and time, at the top of the right column.
  HWND infoPanel() { return viewer_->childAt(client().right - 209, 0, 209, 180); }
  // The picture area, once the window has laid it out beside the right column and above
  // the console and the chart.
  HWND playerWindow() {
    HWND player = nullptr;
    WaitFor([&] {
      const RECT c = client();
      return (player = viewer_->childAt(21, 0, c.right - 230, c.bottom - 155)) != nullptr;
    }, kPatienceMs);
    return player;
  }
  // The playback controls under the picture and the panel beside them.
  HWND consolePanel() { return laidOut(0, -155, 0, 65); }
  HWND configPanel() { return laidOut(-209, -375, 209, 220); }
  // The child at a place counted from the client's right (negative x) and bottom
  // (negative y), once the window has laid it out; a width of 0 is the client's.
  HWND laidOut(int x, int y, int width, int height) {
    HWND found = nullptr;
    WaitFor([&] {
      const RECT c = client();
      found = viewer_->childAt(x < 0 ? c.right + x : x, y < 0 ? c.bottom + y : y,
                               width == 0 ? c.right : width, height);
      return found != nullptr;
    }, kPatienceMs);
    return found;
  }
  // A control of a panel by its place in it.
  HWND control(HWND panel, int x, int y) { return ViewerProcess::ChildAt(panel, x, y); }
  void pressControl(HWND panel, int x, int y) {
    const HWND button = control(panel, x, y);
    ASSERT_NE(button, nullptr) << x << "," << y;
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(button) != FALSE; }, kPatienceMs));
    ViewerProcess::click(button);
  }
  // What the close box sends.
  void pressCloseBox() { PostMessageW(main(), WM_SYSCOMMAND, SC_CLOSE, 0); }
  bool changesWithin(HWND window, DWORD ms) {
    const std::vector<unsigned char> before = CaptureFromScreen(window);
    return WaitFor([&] { return CaptureFromScreen(window) != before; }, ms);
  }

  // While a recording loads the viewer disables the volume and brightness panel, the
  // open button with it; it is enabled again when the load has ended.
  HWND openButton() { return control(configPanel(), kOpen.x, kOpen.y); }
  bool loadEnded() {
    const HWND open = openButton();
    return open != nullptr &&
           WaitFor([&] { return IsWindowEnabled(open) != FALSE; }, kPatienceMs);
  }
  // The viewer shows the recording `name` of the card: its title names it only once its
  // load has ended.
  bool landsOn(const wchar_t* name) { return titleBecomes(titleFor(recording(name))) && loadEnded(); }
  // The window shows the same for `ms` (it is not playing).
  bool unchangedFor(HWND window, DWORD ms) { return !changesWithin(window, ms); }

  const int driveSeconds_;
  const int lastDriveSeconds_;
  TempDir dir_;
  fs::path card_;
  std::unique_ptr<ViewerProcess> viewer_;
};

TEST_F(EndToEndTest, StartsWithTheEmptyViewerAndClosesWithoutAQuestion) {
  EXPECT_EQ(viewer_->title(), AppName());
  EXPECT_EQ(viewer_->currentDirectory(), L"C:\\") << "started elsewhere";
  // The first size follows the system's major version, as the system tells it.
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExW(&version);
  RECT outer;
  GetWindowRect(main(), &outer);
  EXPECT_EQ(outer.right - outer.left, version.dwMajorVersion == 6 ? 890 : 882);
  EXPECT_EQ(outer.bottom - outer.top, version.dwMajorVersion == 6 ? 697 : 693);
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(outer.left, (desktop.right - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (desktop.bottom - (outer.bottom - outer.top)) / 2);
  // The waiting picture over the empty picture area.
  const HWND player = playerWindow();
  ASSERT_NE(player, nullptr);
  EXPECT_TRUE(WaitFor([&] {
    for (HWND child = GetWindow(player, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(child, &r);
      if (r.right - r.left == 280 && r.bottom - r.top == 73 && IsWindowVisible(child)) return true;
    }
    return false;
  }, kPatienceMs));
  shot("start");

  pressCloseBox();
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0);
}

TEST_F(EndToEndTest, OpensThroughTheMenuPlaysAndAsksBeforeClosing) {
  const std::wstring path = recording(L"0001_001.DAT");
  ASSERT_TRUE(viewer_->open(path));
  ASSERT_TRUE(titleBecomes(titleFor(path)));
  // Playing: the clock of the information panel moves on.
  const HWND info = infoPanel();
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(changesWithin(info, 10000));
  shot("playing");

  pressCloseBox();
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextConfirmExit));
  ASSERT_TRUE(viewer_->press(IDCANCEL));
  EXPECT_EQ(viewer_->exitCode(500), -1) << "still running after Cancel";
  viewer_->menu(IDM_EXIT);
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextConfirmExit));
  ASSERT_TRUE(viewer_->press(IDOK));
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0);
}

TEST_F(EndToEndTest, PlaysOnIntoTheNextRecordingPassingOverAnUnreadableOne) {
  // The first date's two drives and the second date's first, the middle one unreadable.
  MakeUnreadable(card_ / "0001_002.DAT");
  ASSERT_TRUE(viewer_->open(recording(L"0001_001.DAT")));
  ASSERT_TRUE(titleBecomes(titleFor(recording(L"0001_001.DAT"))));
  EXPECT_TRUE(titleBecomes(titleFor(recording(L"0002_001.DAT"))));
  shot("next");
}

TEST_F(EndToEndTest, TheAboutBoxShowsTheVersion) {
  viewer_->menu(IDM_ABOUT);
  const HWND about = viewer_->dialog();
  ASSERT_NE(about, nullptr);
  wchar_t text[256] = {};
  GetDlgItemTextW(about, IDC_ABOUT_VERSION, text, 256);
  EXPECT_STREQ(text, L"Version 1.0.0");
  GetDlgItemTextW(about, IDC_ABOUT_NAME, text, 256);
  EXPECT_EQ(std::wstring(text), AppName());
  shot("about");
  ASSERT_TRUE(viewer_->press(IDOK));
}

TEST_F(EndToEndTest, DecliningALargeFolderLeavesACleanView) {
  const std::wstring first = recording(L"0001_001.DAT");
  ASSERT_TRUE(viewer_->open(first));
  ASSERT_TRUE(titleBecomes(titleFor(first)));
  // Over a thousand recordings beside the drives: copies of a drive's first bytes.
  std::ifstream in(card_ / "0003_001.DAT", std::ios::binary);
  std::vector<char> head(64);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  for (int i = 0; i < 1000; ++i) {
    char name[16];
    snprintf(name, sizeof name, "%04d_999.DAT", 5000 + i);
    std::ofstream(card_ / name, std::ios::binary).write(head.data(), static_cast<std::streamsize>(head.size()));
  }
  viewer_->menu(IDM_OPEN);
  ASSERT_TRUE(viewer_->choose(recording(L"0002_001.DAT")));
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextManyFilesSlow));
  ASSERT_TRUE(viewer_->press(IDCANCEL));
  EXPECT_TRUE(titleBecomes(AppName()));
  // No loading text is left on the white picture area.
  const HWND player = playerWindow();
  ASSERT_NE(player, nullptr);
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<unsigned char> pixels = CaptureFromScreen(player);
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
      if (pixels[i] != 0xFF || pixels[i + 1] != 0xFF || pixels[i + 2] != 0xFF) return false;
    }
    return true;
  }, 10000));
  shot("declined");
  pressCloseBox();
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0) << "nothing loaded: no question";
}

TEST_F(EndToEndTest, AFolderThatGoesDuringPlaybackIsReportedOnceAndTheViewEmpties) {
  const std::wstring path = recording(L"0003_001.DAT");
  ASSERT_TRUE(viewer_->open(path));
  ASSERT_TRUE(titleBecomes(titleFor(path)));
  const fs::path moved = dir_.path() / "moved";
  ASSERT_TRUE(MoveFileW(card_.wstring().c_str(), moved.wstring().c_str()));
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextFolderMoved));
  shot("moved");
  ASSERT_TRUE(viewer_->press(IDOK));
  EXPECT_TRUE(titleBecomes(AppName()));
  EXPECT_EQ(viewer_->dialog(3000), nullptr) << "told once";
  pressCloseBox();
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0);
}

TEST_F(EndToEndTest, HelpWritesThePageAndHandsItToTheShell) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path page = fs::path(temp) / "Pathscope Help" / "index.html";
  fs::remove(page);
  viewer_->menu(IDM_HELP);
  EXPECT_TRUE(WaitFor([&] { return fs::exists(page); }, kPatienceMs));
  // Where the shell finds no program for the page (a machine without a browser), the
  // viewer says so with its own text and goes on.
  if (viewer_->dialog(3000) != nullptr) {
    EXPECT_EQ(viewer_->boxText(), LoadText(kTextHelpFailed));
    ASSERT_TRUE(viewer_->press(IDOK));
  }
  pressCloseBox();
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0);
}

TEST_F(EndToEndTest, OpensThroughTheOpenButtonAndPausesResumesAndStops) {
  pressControl(configPanel(), kOpen.x, kOpen.y);
  const std::wstring path = recording(L"0002_001.DAT");
  ASSERT_TRUE(viewer_->choose(path));
  ASSERT_TRUE(titleBecomes(titleFor(path)));
  const HWND info = infoPanel();
  ASSERT_TRUE(changesWithin(info, 10000)) << "playing";

  const HWND console = consolePanel();
  pressControl(console, kPlay.x, kPlay.y);
  EXPECT_TRUE(WaitFor([&] { return unchangedFor(info, 1500); }, kPatienceMs)) << "paused";
  shot("paused");
  pressControl(console, kPlay.x, kPlay.y);
  EXPECT_TRUE(changesWithin(info, 10000)) << "resumed";
  pressControl(console, kStop.x, kStop.y);
  EXPECT_TRUE(WaitFor([&] { return unchangedFor(info, 1500); }, kPatienceMs)) << "stopped";
  shot("stopped");
}

// Drives long enough not to end (and run on into the next) while they are stepped
// through or dragged; the card's last one is short, to be played to its end.
class LongDrivesTest : public EndToEndTest {
 protected:
  LongDrivesTest() : EndToEndTest(20, 3) {}
};

// Each step waits for the title of the recording it lands on, which the viewer sets once
// the load has ended, so the next press never meets a load. At the card's ends the
// buttons that would lead beyond them are disabled.
TEST_F(LongDrivesTest, StepsThroughRecordingsAndDatesAndStopsAtTheEnds) {
  ASSERT_TRUE(viewer_->open(recording(L"0001_001.DAT")));
  ASSERT_TRUE(landsOn(L"0001_001.DAT"));
  const HWND console = consolePanel();
  struct Step {
    const char* name;
    POINT button;
    const wchar_t* landsOn;
    std::vector<POINT> disabledThere;
  };
  const Step steps[] = {
      {"next", kNext, L"0001_002.DAT", {}},
      {"previous", kPrevious, L"0001_001.DAT", {kPrevious, kPreviousDate}},
      {"next date", kNextDate, L"0002_001.DAT", {}},
      {"next date again", kNextDate, L"0003_001.DAT", {kNextDate}},
      {"previous date", kPreviousDate, L"0002_001.DAT", {}},
      {"previous date again", kPreviousDate, L"0001_001.DAT", {kPrevious, kPreviousDate}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    pressControl(console, s.button.x, s.button.y);
    ASSERT_TRUE(landsOn(s.landsOn));
    for (const POINT& off : s.disabledThere) {
      EXPECT_FALSE(IsWindowEnabled(control(console, off.x, off.y))) << "button at " << off.x;
    }
    shot(s.name);
  }
  // The card's last recording, played to its end, stays on its last picture: nothing
  // follows it and nothing is asked.
  ASSERT_TRUE(viewer_->open(recording(L"0003_003.DAT")));
  ASSERT_TRUE(landsOn(L"0003_003.DAT"));
  EXPECT_FALSE(IsWindowEnabled(control(console, kNext.x, kNext.y)));
  EXPECT_FALSE(IsWindowEnabled(control(console, kNextDate.x, kNextDate.y)));
  const HWND info = infoPanel();
  EXPECT_TRUE(WaitFor([&] { return unchangedFor(info, 1500); }, kPatienceMs));
  EXPECT_EQ(viewer_->dialog(1000), nullptr);
  EXPECT_EQ(viewer_->title(), titleFor(recording(L"0003_003.DAT")));
  shot("played to the end");
}

// Pressing the thumb, moving it along and letting go: the picture and the clock follow
// while the button is held, and afterwards the recording plays on only if it played
// before.
TEST_F(LongDrivesTest, DraggingTheSliderMovesThePictureAndPlaysOnOnlyIfItPlayedBefore) {
  ASSERT_TRUE(viewer_->open(recording(L"0002_001.DAT")));
  ASSERT_TRUE(landsOn(L"0002_001.DAT"));
  const HWND console = consolePanel();
  const HWND slider = control(console, kSlider.x, kSlider.y);
  const HWND stop = control(console, kStop.x, kStop.y);
  const HWND info = infoPanel();
  const HWND player = playerWindow();
  ASSERT_TRUE(slider != nullptr && stop != nullptr && info != nullptr && player != nullptr);
  RECT track;
  GetClientRect(slider, &track);
  const int y = track.bottom / 2;
  constexpr int kThumbMiddle = 12;  // of the thumb at the first picture
  for (const bool wasPlaying : {false, true}) {
    SCOPED_TRACE(wasPlaying ? "dragged while playing" : "dragged while paused");
    // The stop button pauses on the first picture, where it is disabled.
    pressControl(console, kStop.x, kStop.y);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(stop) == FALSE; }, kPatienceMs));
    if (wasPlaying) {
      pressControl(console, kPlay.x, kPlay.y);
      ASSERT_TRUE(changesWithin(info, 10000)) << "playing";
    }
    ViewerProcess::pressMouse(slider, {kThumbMiddle, y});
    ASSERT_TRUE(WaitFor([&] { return unchangedFor(info, 1000); }, kPatienceMs))
        << "held still while the button is down";
    for (const int x : {static_cast<int>(track.right) / 2, static_cast<int>(track.right) * 3 / 4}) {
      const std::vector<unsigned char> clock = CaptureFromScreen(info);
      const std::vector<unsigned char> picture = CaptureFromScreen(player);
      ViewerProcess::dragMouse(slider, {x, y});
      EXPECT_TRUE(WaitFor([&] {
        return CaptureFromScreen(info) != clock && CaptureFromScreen(player) != picture;
      }, kPatienceMs)) << "follows to " << x;
    }
    ViewerProcess::releaseMouse(slider, {static_cast<int>(track.right) * 3 / 4, y});
    shot(wasPlaying ? "dragged while playing" : "dragged while paused");
    if (wasPlaying) {
      EXPECT_TRUE(changesWithin(info, 10000)) << "plays on";
    } else {
      EXPECT_TRUE(unchangedFor(info, 2000)) << "stays paused";
    }
  }
}

// The date and time panel as this process draws it for a picture taken at `time`, in a
// window of its own at the top left of the screen, above the viewer; and a chart of the
// viewer's chart's size, outside that window (nothing of it is shown), whose plot lies
// where the viewer's does.
class ReferencePanels : public IFrameSource {
 public:
  // Placed on the screen where the viewer's window `viewer` does not reach: windows of
  // two processes are not kept in a reliable order, so an overlap could hide part of it.
  ReferencePanels(const LocalDateTime& time, SIZE chartSize, HWND viewer)
      : info_({StandInInfo::At(CalendarTimeOrZero(time)), StandInInfo::At(CalendarTimeOrZero(time))}) {
    owner_ = new TestOwner();
    owner_->info = new InfoPanel(*owner_, *this);
    owner_->chart = new LineChart(*owner_, *this);
    const POINT at = ClearOf(viewer, {209, 180});
    SetWindowPos(owner_->handle(), HWND_TOPMOST, at.x, at.y, 209, 180, SWP_SHOWWINDOW);
    MoveWindow(owner_->info->handle(), 0, 0, 209, 180, TRUE);
    MoveWindow(owner_->chart->handle(), 0, 180, chartSize.cx, chartSize.cy, TRUE);
  }
  ~ReferencePanels() override { DestroyWindow(owner_->handle()); }
  ReferencePanels(const ReferencePanels&) = delete;
  ReferencePanels& operator=(const ReferencePanels&) = delete;

  const IVideoInfo* info() const override { return &info_; }
  int32_t currentFrame() const override { return 0; }
  // What the screen shows of the date and time panel, once its paint has been handled.
  std::vector<unsigned char> clockPixels() {
    RedrawWindow(owner_->info->handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpPending();
    return CaptureFromScreen(owner_->info->handle());
  }
  const chart::Plot& plot() const { return owner_->chart->plot(); }

 private:
  // A screen position for a window of `size` beside, below or above `viewer`'s rectangle.
  static POINT ClearOf(HWND viewer, SIZE size) {
    RECT v = {};
    GetWindowRect(viewer, &v);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (v.right + size.cx <= width) return {width - size.cx, 0};
    if (v.bottom + size.cy <= height) return {0, height - size.cy};
    if (v.top >= size.cy) return {0, 0};
    return {0, height - size.cy};  // no free place: the least likely to be covered
  }

  StandInInfo info_;
  TestOwner* owner_ = nullptr;  // deletes itself with its window
};

// The columns of `row` of a capture `width` pixels wide drawn in pure yellow, the
// chart's marker.
std::vector<int> YellowColumns(const std::vector<unsigned char>& pixels, int width, int row) {
  std::vector<int> columns;
  const size_t start = static_cast<size_t>(row) * static_cast<size_t>(width) * 4;
  for (int x = 0; x < width && start + static_cast<size_t>(x) * 4 + 2 < pixels.size(); ++x) {
    const unsigned char* p = &pixels[start + static_cast<size_t>(x) * 4];
    if (p[0] == 0 && p[1] == 0xFF && p[2] == 0xFF) columns.push_back(x);
  }
  return columns;
}

// How many pixels differ in colour (the fourth byte is whatever the display keeps); all
// of them when the sizes differ, and one when nothing could be captured.
size_t DifferentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size() || a.empty()) return std::max<size_t>(std::max(a.size(), b.size()) / 4, 1);
  size_t n = 0;
  for (size_t i = 0; i + 3 < a.size(); i += 4) {
    n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
  }
  return n;
}

LocalDateTime StartOf(const wchar_t* name) {
  for (const recsim::DemoCard::Recording& r : recsim::DemoCard::Plan()) {
    if (r.name == name) return r.description.start;
  }
  return {};
}

// Paused on a recording's first picture (where the stop button puts it), the date and
// time panel shows that picture's time, the recording's start, pixel for pixel as the
// panel draws it, and the chart's marker stands on the plot's first column.
TEST_F(EndToEndTest, PausedOnTheFirstPictureTheClockAndTheMarkerShowItExactly) {
  for (const wchar_t* name : {L"0002_001.DAT", L"0003_003.DAT"}) {
    SCOPED_TRACE(ToUtf8(name));
    ASSERT_TRUE(viewer_->open(recording(name)));
    ASSERT_TRUE(landsOn(name));
    const HWND console = consolePanel();
    const HWND stop = control(console, kStop.x, kStop.y);
    const HWND info = infoPanel();
    const HWND chart = laidOut(0, -90, 0, 90);
    ASSERT_TRUE(stop != nullptr && info != nullptr && chart != nullptr);
    pressControl(console, kStop.x, kStop.y);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(stop) == FALSE; }, kPatienceMs));
    RECT chartClient;
    GetClientRect(chart, &chartClient);
    ReferencePanels expected(StartOf(name), {chartClient.right, chartClient.bottom}, viewer_->mainWindow());
    size_t differing = 0;
    EXPECT_TRUE(WaitFor([&] {
      return (differing = DifferentPixels(CaptureFromScreen(info), expected.clockPixels())) == 0;
    }, 10000)) << differing << " pixels differ";

    const chart::Plot& plot = expected.plot();
    const int column = chart::FrameX(plot, 0, 2) + chart::kDrawingX;
    const int row = (plot.top + plot.bottom) / 2 + chart::kDrawingY;
    std::vector<int> marker;
    EXPECT_TRUE(WaitFor([&] {
      marker = YellowColumns(CaptureFromScreen(chart), chartClient.right, row);
      // The pen is two pixels wide.
      return !marker.empty() && marker.front() >= column - 1 && marker.back() <= column + 1;
    }, 10000)) << "marker expected at " << column << ", found at "
               << (marker.empty() ? -1 : marker.front());
    shot("first picture");
  }
}

// A recording large enough that its load lasts a while: many pictures reused in turn.
void WriteLargeRecording(const fs::path& path) {
  recsim::RecordingDescription d;
  d.start = {2009, 6, 20, 9, 0, 0};
  d.durationMs = 3 * 60 * 1000;
  d.width = 320;
  d.height = 240;
  d.mode = recsim::PictureMode::Fast;
  recsim::WriteRecording(d, path.wstring());
}

// The close box does nothing while a recording loads; once it has loaded, it asks.
TEST_F(EndToEndTest, TheCloseBoxIsRefusedWhileARecordingLoads) {
  const fs::path large = dir_.path() / "large" / "0009_001.DAT";
  fs::create_directories(large.parent_path());
  WriteLargeRecording(large);
  const HWND open = openButton();
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(viewer_->open(large.wstring()));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(open) == FALSE; }, kPatienceMs))
      << "loading";
  // Handled at once: no question holds it.
  EXPECT_TRUE(viewer_->sendCloseBox());
  const bool handledWhileLoading = IsWindowEnabled(open) == FALSE;
  shot("loading");
  ASSERT_TRUE(handledWhileLoading) << "the load ended too soon to show anything";
  EXPECT_EQ(viewer_->dialog(500), nullptr) << "no question while loading";
  EXPECT_EQ(viewer_->exitCode(0), -1);
  EXPECT_TRUE(IsWindow(main()));

  ASSERT_TRUE(titleBecomes(titleFor(large.wstring())));
  ASSERT_TRUE(loadEnded());
  pressCloseBox();
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextConfirmExit));
  ASSERT_TRUE(viewer_->press(IDOK));
  EXPECT_EQ(viewer_->exitCode(kPatienceMs), 0);
}

// ---- examining a moment: the picture's zoom, drops, seeking from the chart ----

// Drops `paths` on the viewer's main window as the shell does: a DROPFILES block with
// the wide paths, in the viewer's own memory, handed over with WM_DROPFILES. The block
// stays until the test ends; the viewer's DragFinish is its release.
class DropTest : public EndToEndTest {
 protected:
  void drop(const std::vector<std::wstring>& paths) {
    std::vector<unsigned char> block(sizeof(DROPFILES));
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::wstring& path : paths) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(path.c_str());
      block.insert(block.end(), bytes, bytes + (path.size() + 1) * sizeof(wchar_t));
    }
    block.insert(block.end(), sizeof(wchar_t), 0);
    blocks_.push_back(std::make_unique<RemoteMemory>(viewer_->id(), block.size()));
    ASSERT_TRUE(blocks_.back()->ok());
    ASSERT_TRUE(blocks_.back()->write(block.data(), block.size()));
    ASSERT_TRUE(PostMessageW(main(), WM_DROPFILES, reinterpret_cast<WPARAM>(blocks_.back()->at()), 0));
  }
  // The viewer has handled everything posted before.
  void settled() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main(), WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &result);
  }
  std::vector<std::unique_ptr<RemoteMemory>> blocks_;
};

TEST_F(DropTest, ARecordingOrAFolderDroppedOnTheWindowOpensAndAnythingElseIsIgnored) {
  EXPECT_NE(GetWindowLongW(main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "the window takes no drops";
  const fs::path notes = dir_.path() / "notes.txt";
  std::ofstream(notes) << "not a recording";
  fs::create_directories(dir_.path() / "empty");

  drop({notes.wstring(), (dir_.path() / "empty").wstring()});
  settled();
  EXPECT_EQ(viewer_->dialog(500), nullptr) << "no box for what is not a recording";
  EXPECT_EQ(viewer_->title(), AppName());

  // The first recording among several, with its folder's list: the next button steps on.
  drop({notes.wstring(), recording(L"0002_002.DAT"), recording(L"0001_001.DAT")});
  ASSERT_TRUE(landsOn(L"0002_002.DAT"));
  shot("dropped file");
  pressControl(consolePanel(), kNext.x, kNext.y);
  ASSERT_TRUE(landsOn(L"0003_001.DAT"));

  // A folder: its first recording in time.
  drop({card_.wstring()});
  ASSERT_TRUE(landsOn(L"0001_001.DAT"));
}

TEST_F(DropTest, ADropWhileARecordingLoadsIsRefused) {
  const fs::path large = dir_.path() / "large" / "0009_001.DAT";
  fs::create_directories(large.parent_path());
  WriteLargeRecording(large);
  const HWND open = openButton();
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(viewer_->open(large.wstring()));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(open) == FALSE; }, kPatienceMs)) << "loading";
  drop({recording(L"0001_001.DAT")});
  settled();
  const bool whileLoading = IsWindowEnabled(open) == FALSE;
  ASSERT_TRUE(whileLoading) << "the load ended too soon to show anything";
  ASSERT_TRUE(titleBecomes(titleFor(large.wstring())));
  ASSERT_TRUE(loadEnded());
  settled();
  EXPECT_EQ(viewer_->title(), titleFor(large.wstring())) << "the drop opened after all";
}

// A wheel turn as the system hands it over: to the window with the keyboard focus, the
// pointer's place on the screen in lParam.
void TurnWheel(DWORD thread, HWND fallback, HWND over, int notches) {
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  const HWND focus = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr ? gui.hwndFocus : fallback;
  RECT r;
  GetWindowRect(over, &r);
  const int x = (r.left + r.right) / 2;
  const int y = (r.top + r.bottom) / 2;
  SetCursorPos(x, y);
  PostMessageW(focus, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notches * WHEEL_DELTA)), MAKELPARAM(x, y));
}

TEST_F(EndToEndTest, TheWheelZoomsTheStillPictureADragPansItAndADoubleClickShowsItWhole) {
  ASSERT_TRUE(viewer_->open(recording(L"0002_001.DAT")));
  ASSERT_TRUE(landsOn(L"0002_001.DAT"));
  const HWND console = consolePanel();
  const HWND stop = control(console, kStop.x, kStop.y);
  const HWND player = playerWindow();
  ASSERT_TRUE(stop != nullptr && player != nullptr);
  pressControl(console, kStop.x, kStop.y);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(stop) == FALSE; }, kPatienceMs));
  ASSERT_TRUE(WaitFor([&] { return unchangedFor(player, 1000); }, kPatienceMs));
  const std::vector<unsigned char> whole = CaptureFromScreen(player);

  DWORD thread = GetWindowThreadProcessId(main(), nullptr);
  TurnWheel(thread, main(), player, 3);
  ASSERT_TRUE(WaitFor([&] { return CaptureFromScreen(player) != whole; }, kPatienceMs)) << "not zoomed";
  ASSERT_TRUE(WaitFor([&] { return unchangedFor(player, 500); }, kPatienceMs));
  shot("zoomed");
  const std::vector<unsigned char> zoomed = CaptureFromScreen(player);

  RECT r;
  GetClientRect(player, &r);
  const POINT middle = {r.right / 2, r.bottom / 2};
  ViewerProcess::dragWithMouse(player, middle, {middle.x + 60, middle.y + 40});
  EXPECT_TRUE(WaitFor([&] { return CaptureFromScreen(player) != zoomed; }, kPatienceMs)) << "not panned";
  shot("panned");

  ViewerProcess::click(player, 40, 40);
  ViewerProcess::click(player, 40, 40);
  size_t differing = 0;
  EXPECT_TRUE(WaitFor([&] { return (differing = DifferentPixels(CaptureFromScreen(player), whole)) == 0; }, 10000))
      << differing << " pixels differ from the whole picture";
}

TEST_F(EndToEndTest, AClickOnTheChartSeeksThereAndTheMarkerAndThePictureFollow) {
  ASSERT_TRUE(viewer_->open(recording(L"0002_001.DAT")));
  ASSERT_TRUE(landsOn(L"0002_001.DAT"));
  const HWND console = consolePanel();
  const HWND stop = control(console, kStop.x, kStop.y);
  const HWND player = playerWindow();
  const HWND info = infoPanel();
  const HWND chart = laidOut(0, -90, 0, 90);
  ASSERT_TRUE(stop != nullptr && player != nullptr && info != nullptr && chart != nullptr);
  pressControl(console, kStop.x, kStop.y);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(stop) == FALSE; }, kPatienceMs));
  ASSERT_TRUE(WaitFor([&] { return unchangedFor(player, 1000); }, kPatienceMs));
  const std::vector<unsigned char> picture = CaptureFromScreen(player);
  const std::vector<unsigned char> clock = CaptureFromScreen(info);

  RECT chartClient;
  GetClientRect(chart, &chartClient);
  ReferencePanels reference(StartOf(L"0002_001.DAT"), {chartClient.right, chartClient.bottom}, viewer_->mainWindow());
  const chart::Plot& plot = reference.plot();
  const int column = plot.left + (plot.right - plot.left) * 3 / 4 + chart::kDrawingX;
  const int row = (plot.top + plot.bottom) / 2 + chart::kDrawingY;
  ViewerProcess::click(chart, column, row);
  std::vector<int> marker;
  // The frames lie some pixels apart: the marker stands on the nearest.
  EXPECT_TRUE(WaitFor([&] {
    marker = YellowColumns(CaptureFromScreen(chart), chartClient.right, row);
    return !marker.empty() && marker.front() >= column - 5 && marker.back() <= column + 5;
  }, 10000)) << "marker expected near " << column << ", found at " << (marker.empty() ? -1 : marker.front());
  EXPECT_TRUE(WaitFor([&] { return CaptureFromScreen(player) != picture && CaptureFromScreen(info) != clock; },
                      kPatienceMs)) << "the picture and the clock stayed";
  shot("sought");
  EXPECT_TRUE(IsWindowEnabled(stop)) << "paused away from the start";
}

}  // namespace
