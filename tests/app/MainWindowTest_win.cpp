// The main window on the display with its real player and panels, driven by the
// messages the system and the user send it. The boxes it would show are answered by the
// test, which keeps what it was asked.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ModalScript_win.h"
#include "PlaybackTestSupport.h"
#include "ScreenCapture_win.h"
#include "TempDir.h"
#include "app/Application_win.h"
#include "app/MainLayout.h"
#include "app/MainWindow_win.h"
#include "app/ResourceIds.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/Utf8.h"
#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "playback/PlayTrackBar_win.h"
#include "toolkit/TrackToolTip_win.h"
#include "toolkit/ImageTrackBar_win.h"
#include "toolkit/ImageButton_win.h"
#include "playback/PlayButton_win.h"
#include "playback/DriveSummaryWindow_win.h"
#include "playback/GCircle_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "playback/Thumbnail_win.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/Animation_win.h"
#include "toolkit/MessagePump_win.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPatienceMs = 30000;

// The main window with the user's answers scripted and the questions kept.
class AnsweredMainWindow : public MainWindow {
 public:
  static AnsweredMainWindow* Make() {
    auto* window = new AnsweredMainWindow();
    window->build();
    return window;
  }

  std::vector<std::wstring> asked;  // every box's text, in order
  std::deque<int> answers;          // IDOK when none is left
  std::deque<std::wstring> choices;  // files the chooser returns; none: cancelled
  int abouts = 0;
  bool helpFails = false;
  bool askFails = false;               // a box fails with a failure outside the family
  std::function<void()> insideAbout;  // what happens while the about box is up
  static int deletions;

  ~AnsweredMainWindow() override { ++deletions; }

 protected:
  int ask(const std::wstring& text, TextId, UINT) override {
    asked.push_back(text);
    if (askFails) throw std::runtime_error("no box");
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool chooseFile(std::wstring& chosen) override {
    if (choices.empty()) return false;
    chosen = choices.front();
    choices.pop_front();
    return true;
  }
  void showAboutBox() override {
    ++abouts;
    if (insideAbout) insideAbout();
  }
  void showHelpPage() override {
    if (helpFails) throw WindowException(L"no browser");
  }
};

int AnsweredMainWindow::deletions = 0;

// Whether each menu of the bar is enabled: "1" or "0" each, left to right.
std::string MenuStates(HWND window) {
  const HMENU bar = GetMenu(window);
  std::string states;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    states += (GetMenuState(bar, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0 ? '0' : '1';
  }
  return states;
}

RECT ChildRect(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The code of the quit message waiting in the queue; -1 when there is none.
int QuitCode() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
  }
  return -1;
}

mainlayout::Rect AsRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

std::wstring TitleOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

// A header-only archive: the folder scan reads its start time, the reader refuses it.
void WriteUnreadable(const fs::path& path, const LocalDateTime& t) {
  const auto bcd = [](int v) { return static_cast<char>(((v / 10) << 4) | (v % 10)); };
  const char head[16] = {0, 0, bcd(t.year % 100), bcd(t.month), bcd(t.day),
                         bcd(t.hour), bcd(t.minute), bcd(t.second)};
  std::ofstream(path, std::ios::binary).write(head, sizeof head);
}

std::string Name(int i) {
  char name[16];
  snprintf(name, sizeof name, "%04d_001.DAT", i);
  return name;
}

LocalDateTime At(int day, int minute) { return {2009, 6, day, 10, minute % 60, 0}; }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordStartValues(GetModuleHandleW(nullptr));
    window_ = AnsweredMainWindow::Make();
    handle_ = window_->handle();
    ShowWindow(handle_, SW_SHOWNORMAL);
    UpdateWindow(handle_);
    PumpFor(50);
  }
  void TearDown() override {
    if (IsWindow(handle_)) {
      window_->setBusy(false);
      DestroyWindow(handle_);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Folder of readable recordings (silent, a few pictures) and unreadable ones.
  fs::path folderOf(const std::vector<std::pair<std::string, LocalDateTime>>& readable,
                    const std::vector<std::pair<std::string, LocalDateTime>>& unreadable = {}) {
    const fs::path folder = dir_.path() / ("f" + std::to_string(folders_++));
    fs::create_directories(folder);
    for (const auto& r : readable) WriteDatedRecordings(folder, {{r.first.c_str(), r.second}}, 4);
    for (const auto& u : unreadable) WriteUnreadable(folder / u.first, u.second);
    return folder;
  }
  std::wstring path(const fs::path& folder, int i) { return (folder / Name(i)).wstring(); }

  void command(WORD id, LPARAM lParam = 0) { SendMessageW(handle_, WM_COMMAND, id, lParam); }
  bool alive() const { return IsWindow(handle_) != FALSE; }
  VideoPlayer& player() { return window_->player(); }
  std::wstring title() const { return TitleOf(handle_); }
  std::wstring titleFor(const std::wstring& p) const { return p + L" - " + LoadText(kTextAppName); }

  TempDir dir_;
  int folders_ = 0;
  AnsweredMainWindow* window_ = nullptr;
  HWND handle_ = nullptr;
};

TEST_F(MainWindowTest, LaysOutTheChildrenForTheClientSize) {
  SendMessageW(handle_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
  const mainlayout::Layout expected = mainlayout::LayOut(800, 600, true, false);
  EXPECT_EQ(AsRect(ChildRect(handle_, window_->chart().handle())), expected.chart);
  EXPECT_EQ(AsRect(ChildRect(handle_, window_->consolePanel().handle())), expected.console);
  EXPECT_EQ(AsRect(ChildRect(handle_, window_->configPanel().handle())), expected.config);
  EXPECT_EQ(AsRect(ChildRect(handle_, window_->infoPanel().handle())), expected.info);
  EXPECT_EQ(AsRect(ChildRect(handle_, player().handle())), expected.player);
  EXPECT_FALSE(window_->thumbnailPanel().isEnabled());
  EXPECT_FALSE(IsWindowVisible(window_->thumbnailPanel().handle()));

  // Minimising reports a client of no size: every child keeps its place.
  SendMessageW(handle_, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(AsRect(ChildRect(handle_, player().handle())), expected.player);
  EXPECT_EQ(AsRect(ChildRect(handle_, window_->configPanel().handle())), expected.config);
}

TEST_F(MainWindowTest, RefusesToBeDraggedBelowItsMinimumSize) {
  MINMAXINFO info{};
  EXPECT_EQ(SendMessageW(handle_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 800);
  EXPECT_EQ(info.ptMinTrackSize.y, 640);
}

TEST_F(MainWindowTest, StartsEmptyWithTheApplicationNameAsTitle) {
  EXPECT_EQ(title(), LoadText(kTextAppName));
  window_->startWaitingAnimation();
  ASSERT_NE(window_->animation(), nullptr);
  EXPECT_EQ(GetParent(window_->animation()->handle()), player().handle());
  // Closing with nothing loaded asks nothing.
  SendMessageW(handle_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(alive());
  EXPECT_EQ(QuitCode(), 0) << "the message loop ends";
}

TEST_F(MainWindowTest, OpensTheChosenRecordingThroughTheMenuAndPlaysIt) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}, {Name(2), At(14, 2)}});
  window_->startWaitingAnimation();
  // A control's notification with the same id is no menu command.
  window_->choices = {path(folder, 2)};
  command(IDM_OPEN, reinterpret_cast<LPARAM>(player().handle()));
  EXPECT_EQ(window_->choices.size(), 1u);

  command(IDM_OPEN);
  EXPECT_EQ(player().state(), PlayerState::Playing);
  EXPECT_EQ(player().currentIndex(), 1);
  EXPECT_EQ(title(), titleFor(path(folder, 2)));
  EXPECT_EQ(window_->animation(), nullptr) << "the waiting picture goes for good";
  for (UINT menu = 0; menu < 3; ++menu) {
    EXPECT_EQ(GetMenuState(GetMenu(handle_), menu, MF_BYPOSITION) & MF_GRAYED, 0u) << "menu " << menu;
  }
  EXPECT_TRUE(window_->asked.empty());
}

TEST_F(MainWindowTest, RefusesCommandsAndClosingWhileALoadRuns) {
  const std::string allEnabled(static_cast<size_t>(GetMenuItemCount(GetMenu(handle_))), '1');
  ASSERT_EQ(MenuStates(handle_), allEnabled);
  window_->setBusy(true);
  EXPECT_EQ(MenuStates(handle_), std::string(allEnabled.size(), '0'));
  EXPECT_FALSE(window_->configPanel().openButton().isEnabled());
  window_->choices = {L"C:\\nothing.dat"};
  command(IDM_OPEN);
  command(IDM_ABOUT);
  SendMessageW(handle_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(alive());
  EXPECT_EQ(window_->choices.size(), 1u);
  EXPECT_EQ(window_->abouts, 0);

  // A menu opened meanwhile is closed by an Escape the window sends itself.
  EXPECT_EQ(SendMessageW(handle_, WM_ENTERIDLE, MSGF_MENU, 0), 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, handle_, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
  // A box idling meanwhile is left alone: an Escape at every idle would spin.
  SendMessageW(handle_, WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
  EXPECT_FALSE(PeekMessageW(&msg, handle_, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));

  window_->setBusy(false);
  EXPECT_EQ(MenuStates(handle_), allEnabled);
  EXPECT_TRUE(window_->configPanel().openButton().isEnabled());
  command(IDM_ABOUT);
  EXPECT_EQ(window_->abouts, 1);
}

// A WM_CLOSE the system posts while a command runs a modal loop (taskkill, a logoff)
// destroys the window there; the object must outlive the command that is still running.
TEST_F(MainWindowTest, AWindowClosedDuringAModalCommandOutlivesTheCommand) {
  const int before = AnsweredMainWindow::deletions;
  int deletedInside = -1;
  window_->insideAbout = [&] {
    PostMessageW(handle_, WM_CLOSE, 0, 0);
    PumpPending();
    EXPECT_FALSE(alive());
    deletedInside = AnsweredMainWindow::deletions - before;
  };
  command(IDM_ABOUT);
  EXPECT_EQ(deletedInside, 0);
  EXPECT_EQ(AnsweredMainWindow::deletions - before, 1) << "deleted once the command returned";
  EXPECT_EQ(QuitCode(), 0);
}

// A click already queued for a panel's button when a load begins (the user pressed twice
// while the window was still busy with the first press) is handled while the load pumps
// the window's messages. It must not start a second opening inside the first.
TEST_F(MainWindowTest, IgnoresPanelPressesThatArriveWhileALoadRuns) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}, {Name(2), At(14, 2)}, {Name(3), At(15, 1)}});
  struct Press {
    const char* button;
    bool onConsole;  // else the volume and brightness panel
    POINT at;
  };
  const Press presses[] = {
      {"next", true, {220, 22}},
      {"previous", true, {198, 22}},
      {"next date", true, {140, 17}},
      {"previous date", true, {107, 17}},
      {"open", false, {57, 178}},
  };
  for (const Press& p : presses) {
    SCOPED_TRACE(p.button);
    window_->openRecording(path(folder, 2), false);
    ASSERT_EQ(player().currentIndex(), 1);
    window_->asked.clear();
    window_->choices = {path(folder, 1)};
    const HWND panel = p.onConsole ? window_->consolePanel().handle() : window_->configPanel().handle();
    const HWND button = ChildWindowFromPoint(panel, p.at);
    ASSERT_NE(button, panel);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

    window_->openRecording(path(folder, 3), false);
    EXPECT_TRUE(window_->asked.empty()) << (window_->asked.empty() ? "" : ToUtf8(window_->asked[0]));
    EXPECT_EQ(player().currentIndex(), 2);
    EXPECT_EQ(player().state(), PlayerState::Playing);
    EXPECT_EQ(title(), titleFor(path(folder, 3)));
    EXPECT_EQ(window_->choices.size(), 1u) << "no chooser";
    PumpFor(20);
  }
}

TEST_F(MainWindowTest, DestroyedWhileBusyStillEndsTheMessageLoop) {
  window_->setBusy(true);
  DestroyWindow(handle_);
  EXPECT_EQ(QuitCode(), 0);
}

TEST_F(MainWindowTest, StepsThroughTheListAndWarnsBeyondItsEnds) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}, {Name(3), At(14, 3)}},
                                   {{Name(2), At(14, 2)}});
  struct Step {
    int from;
    bool backward;
    int landsOn;  // list index
    TextId warning;  // 0: none
  };
  const Step steps[] = {
      {1, false, 2, TextId(0)},  // the unreadable middle one is passed over
      {3, true, 0, TextId(0)},
      {3, false, 2, kTextNoNextDate},
      {1, true, 0, kTextNoPreviousDate},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.from << (s.backward ? " back" : " on"));
    window_->asked.clear();
    window_->openRecording(path(folder, s.from), false);
    window_->runCommand(s.backward ? IDM_PREVIOUS_RECORDING : IDM_NEXT_RECORDING);
    EXPECT_EQ(player().currentIndex(), s.landsOn);
    // Stepping stops first; beyond an end nothing else changes.
    EXPECT_EQ(player().state(), s.warning == TextId(0) ? PlayerState::Playing : PlayerState::Stopped);
    const std::vector<std::wstring> expected =
        s.warning == TextId(0) ? std::vector<std::wstring>{} : std::vector<std::wstring>{LoadText(s.warning)};
    EXPECT_EQ(window_->asked, expected);
  }
}

TEST_F(MainWindowTest, AnUnreadableFileAtTheEndOrAloneIsReported) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}}, {{Name(2), At(14, 2)}});
  fs::copy_file(folder / Name(2), folder / "abcd.dat");
  for (const std::wstring& p : {path(folder, 2), (folder / "abcd.dat").wstring()}) {
    window_->asked.clear();
    window_->openRecording(p, false);
    EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextDataUnreadable)});
    EXPECT_EQ(player().state(), PlayerState::NoRecording);
    EXPECT_EQ(title(), LoadText(kTextAppName));
  }
}

// More than 1000 recordings: the first three unreadable, the fourth readable.
class LargeFolderTest : public MainWindowTest {
 protected:
  fs::path largeFolder() {
    std::vector<std::pair<std::string, LocalDateTime>> unreadable;
    for (int i = 0; i <= 1000; ++i) {
      if (i != 3) unreadable.push_back({Name(i), {2009, 6, 14, 10, i / 60, i % 60}});
    }
    return folderOf({{Name(3), {2009, 6, 14, 10, 0, 3}}}, unreadable);
  }
};

TEST_F(LargeFolderTest, PassesOverUnreadableFilesAskingOnce) {
  const fs::path folder = largeFolder();
  window_->openRecording(path(folder, 0), false);
  EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextManyFilesSlow)});
  EXPECT_EQ(player().currentIndex(), 3);
  EXPECT_EQ(title(), titleFor(path(folder, 3)));
}

// A failure outside the Exception family goes on to the message loop; the window's
// object is no longer held, so destroying the window still deletes it.
TEST_F(LargeFolderTest, AForeignFailureDuringAnOpeningLeavesNoHoldBehind) {
  window_->askFails = true;
  EXPECT_THROW(window_->openRecording(path(largeFolder(), 0), false), std::runtime_error);
  const int before = AnsweredMainWindow::deletions;
  DestroyWindow(handle_);
  EXPECT_EQ(AnsweredMainWindow::deletions - before, 1);
}

TEST_F(LargeFolderTest, DecliningToWaitLeavesACleanView) {
  const fs::path small = folderOf({{Name(1), At(14, 1)}});
  window_->openRecording(path(small, 1), false);
  ASSERT_EQ(title(), titleFor(path(small, 1)));

  const fs::path folder = largeFolder();
  window_->answers = {IDCANCEL};
  window_->openRecording(path(folder, 3), false);
  EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextManyFilesSlow)});
  EXPECT_EQ(player().state(), PlayerState::NoRecording);
  EXPECT_EQ(title(), LoadText(kTextAppName)) << "no title of the recording closed";
  PumpFor(100);
  // No loading text left on the picture area.
  const auto shot = CaptureClient(player().handle());
  int dark = 0;
  for (int y = 0; y < shot->Height(); ++y) {
    for (int x = 0; x < shot->Width(); ++x) dark += PixelAt(*shot, x, y) != 0xFFFFFF;
  }
  EXPECT_EQ(dark, 0);
}

TEST_F(MainWindowTest, ADateJumpThatCannotReadItsRecordingSaysSo) {
  const fs::path folder = folderOf({{Name(2), At(15, 1)}}, {{Name(1), At(14, 1)}});
  window_->openRecording(path(folder, 2), false);
  ASSERT_EQ(player().currentIndex(), 1);
  window_->runCommand(IDM_PREVIOUS_DATE);
  EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextDataUnreadable)});
  // No later date, but later recordings of this one: the player tells the user itself,
  // once. With no recording after this one the command does nothing at all.
  const fs::path sameDay = folderOf({{Name(1), At(16, 1)}, {Name(2), At(16, 2)}});
  const struct {
    int from;
    std::vector<std::wstring> asked;
  } cases[] = {{1, {LoadText(kTextNoNextDate)}}, {2, {}}};
  for (const auto& c : cases) {
    window_->openRecording(path(sameDay, c.from), false);
    window_->asked.clear();
    window_->runCommand(IDM_NEXT_DATE);
    EXPECT_EQ(window_->asked, c.asked);
  }
}

TEST_F(MainWindowTest, DateJumpsOpenTheFirstRecordingOfTheDate) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}, {Name(2), At(14, 2)}, {Name(3), At(15, 1)}});
  window_->openRecording(path(folder, 1), false);
  window_->runCommand(IDM_NEXT_DATE);
  EXPECT_EQ(player().currentIndex(), 2);
  EXPECT_EQ(title(), titleFor(path(folder, 3)));
  EXPECT_EQ(player().state(), PlayerState::Playing);
  window_->runCommand(IDM_PREVIOUS_DATE);
  EXPECT_EQ(player().currentIndex(), 0);
  EXPECT_EQ(window_->currentPath(), path(folder, 1));
  EXPECT_TRUE(window_->asked.empty());
}

TEST_F(MainWindowTest, ClosingWithARecordingAsksFirst) {
  const fs::path folder = folderOf({{Name(1), At(14, 1)}});
  window_->openRecording(path(folder, 1), false);
  window_->answers = {IDCANCEL};
  command(IDM_EXIT);
  EXPECT_TRUE(alive());
  EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextConfirmExit)});
  EXPECT_EQ(player().state(), PlayerState::Stopped) << "stopped while asked, and stays so";
  SendMessageW(handle_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(alive());
}

TEST_F(MainWindowTest, HelpThatCannotBeShownGivesItsOwnMessage) {
  window_->helpFails = true;
  command(IDM_HELP);
  EXPECT_EQ(window_->asked, std::vector<std::wstring>{LoadText(kTextHelpFailed)});
}

}  // namespace

// The view menu follows the playback menu; each item flips what it names and its check
// mark, the combined G starting on and everything else off.
TEST_F(MainWindowTest, ViewMenuTogglesTheChartsSeriesAndTheFramesValues) {
  const HMENU menu = GetMenu(handle_);
  wchar_t name[64] = {};
  GetMenuStringW(menu, 2, name, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(name), L"表示(&V)");
  const auto checked = [menu](WORD id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
  LineChart& chart = window_->chart();
  const struct {
    WORD id;
    std::function<bool()> on;
    bool initially;
  } items[] = {
      {IDM_VIEW_TOTAL_G, [&] { return chart.series().total; }, true},
      {IDM_VIEW_AXIS_X, [&] { return chart.series().x; }, false},
      {IDM_VIEW_AXIS_Y, [&] { return chart.series().y; }, false},
      {IDM_VIEW_AXIS_Z, [&] { return chart.series().z; }, false},
      {IDM_VIEW_SPEED, [&] { return chart.series().speed; }, false},
      {IDM_VIEW_THRESHOLD, [&] { return chart.series().threshold; }, false},
      {IDM_VIEW_FRAME_VALUES, [&] { return window_->infoPanel().valuesShown(); }, false},
      {IDM_VIEW_G_CIRCLE, [&] { return window_->gCircle().shown(); }, false},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.id);
    EXPECT_EQ(item.on(), item.initially);
    EXPECT_EQ(checked(item.id), item.initially);
    command(item.id);
    EXPECT_EQ(item.on(), !item.initially);
    EXPECT_EQ(checked(item.id), !item.initially);
    command(item.id);
    EXPECT_EQ(item.on(), item.initially);
    EXPECT_EQ(checked(item.id), item.initially);
  }
  // The circle takes the right column's free space, square, between the two panels.
  RECT info, circle, config;
  GetWindowRect(window_->infoPanel().handle(), &info);
  GetWindowRect(window_->gCircle().handle(), &circle);
  GetWindowRect(window_->configPanel().handle(), &config);
  EXPECT_EQ(circle.right - circle.left, circle.bottom - circle.top);
  EXPECT_GT(circle.right - circle.left, 40);
  EXPECT_GE(circle.top, info.bottom);
  EXPECT_LE(circle.bottom, config.top);
}

// The summary follows the open recording, and a click on a time shows that frame.
TEST_F(MainWindowTest, DriveSummaryFollowsTheRecordingAndSeeksIt) {
  command(IDM_VIEW_DRIVE_SUMMARY);
  DriveSummaryWindow* summary = window_->driveSummary();
  ASSERT_NE(summary, nullptr);
  EXPECT_TRUE(summary->lines().empty()) << "nothing open";
  const fs::path folder = folderOf({{Name(1), At(14, 1)}});
  window_->choices = {path(folder, 1)};
  command(IDM_OPEN);
  ASSERT_FALSE(summary->lines().empty());
  command(IDM_PLAY_PAUSE);  // paused, so the frame shown stays where the click put it
  const summarytext::Line& end = summary->lines()[1];
  EXPECT_EQ(end.slot, player().frameCount() - 1);
  const RECT r = summary->linkRect(1);
  SendMessageW(summary->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, r.top + 4));
  EXPECT_EQ(player().currentFrame(), end.slot);
  command(IDM_VIEW_DRIVE_SUMMARY);
  EXPECT_EQ(window_->driveSummary(), summary) << "one window at a time";
  window_->resetView();
  EXPECT_TRUE(summary->lines().empty());
  SendMessageW(summary->handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window_->driveSummary(), nullptr);
}

// The snapshot commands need a picture: without one their items are grayed as the file
// menu opens and the keys do nothing (no chooser, no box); with one they are enabled.
TEST_F(MainWindowTest, SnapshotItemsAreGrayedAndTheirKeysIdleWithoutAPicture) {
  const HMENU file = GetSubMenu(GetMenu(handle_), 0);
  const auto grayed = [&](WORD id) {
    SendMessageW(handle_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    return (GetMenuState(file, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  const WORD ids[] = {IDM_SAVE_FRAME, IDM_SAVE_SHOWN_PICTURE, IDM_COPY_PICTURE};
  for (WORD id : ids) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(grayed(id));
    // A chooser opened by mistake is cancelled, so that the test goes on to say so.
    ModalScript script({Press(ModalKind::Any, IDCANCEL)}, 500);
    command(id);
    script.finish();
    EXPECT_EQ(script.stepsDone(), 0u) << "a chooser opened";
    EXPECT_TRUE(window_->asked.empty());
  }
  EXPECT_FALSE(grayed(IDM_OPEN)) << "the other items stay as they are";
  const fs::path folder = folderOf({{Name(1), At(14, 1)}});
  window_->choices = {path(folder, 1)};
  command(IDM_OPEN);
  ASSERT_TRUE(PumpUntil([&] { return player().picture() != nullptr; }, 30000));
  for (WORD id : ids) EXPECT_FALSE(grayed(id)) << id;
}
