// The keys of the viewer, typed into the real Pathscope.exe through the system's input
// queue as a keyboard types them: every row of the key table, on a drive with switch
// presses and hard manoeuvres. What a key did is read where a user (or a screen reader)
// reads it: the console's readout, which is also the console panel's window text, the
// position slider's position, the title. The file menu's export is driven the same way,
// through its dialog, the save chooser and the progress window; what it wrote is read
// from the folder, and the drive summary's times are clicked.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "DemoCard.h"
#include "TempDir.h"
#include "ViewerDriver_win.h"
#include "app/ResourceIds.h"
#include "foundation/CommandIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/DriveMoments.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kDrive = L"0002_001.DAT";  // 24 s, two switch presses

// The demo card's first four drives, small; the one with the switch presses keeps its
// length, the others last three seconds.
std::vector<recsim::DemoCard::Recording> Card() {
  std::vector<recsim::DemoCard::Recording> plan = recsim::DemoCard::Plan();
  plan.resize(4);
  for (auto& r : plan) {
    if (r.name != kDrive) r.description.durationMs = 3000;
    r.description.width = 320;
    r.description.height = 240;
  }
  return plan;
}

// "#00146 / 00560 ..." -> 560; -1 when the readout shows no frame.
int32_t CountOf(const std::wstring& readout) {
  if (readout.size() < 14 || readout[0] != L'#') return -1;
  return std::stoi(readout.substr(9, 5));
}

class KeysEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_ = dir_.path() / "card";
    recsim::DemoCard::Write(card_.wstring(), Card());
    viewer_ = std::make_unique<ViewerProcess>(PATHSCOPE_EXE, dir_.path().wstring());
    ASSERT_TRUE(viewer_->started());
    ASSERT_NE(viewer_->mainWindow(), nullptr);
    ASSERT_TRUE(viewer_->open(path(kDrive)));
    ASSERT_TRUE(landsOn(kDrive));
    // Playing after the open: Space pauses, and the readout shows the frame.
    viewer_->key(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return frame() >= 0; }, kPatienceMs)) << text(readout());
    frames_ = CountOf(readout());
    ASSERT_GT(frames_, 600);
  }
  void TearDown() override {
    if (HasFailure()) SaveScreenshot((fs::path(PATHSCOPE_SHOTS) / (name() + "-failed.bmp")).wstring());
    viewer_.reset();
  }
  static std::string name() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
  }
  static std::string text(const std::wstring& w) { return std::string(w.begin(), w.end()); }

  std::wstring path(const wchar_t* name) const { return (card_ / name).wstring(); }
  bool landsOn(const wchar_t* name) {
    const std::wstring title = path(name) + L" - " + LoadText(kTextAppName);
    return WaitFor([&] { return viewer_->title() == title && console() != nullptr && IsWindowEnabled(console()); },
                   kPatienceMs);
  }
  HWND console() { return viewer_->console(); }
  HWND slider() { return viewer_->slider(); }
  std::wstring readout() { return viewer_->readout(); }
  std::wstring frameLine() {
    const std::wstring r = readout();
    return r.substr(0, r.find(L'\n'));
  }
  std::wstring speedLine() {
    const std::wstring r = readout();
    const size_t cut = r.find(L'\n');
    return cut == std::wstring::npos ? std::wstring() : r.substr(cut + 1);
  }
  int32_t frame() { return ViewerProcess::FrameOf(readout()); }
  // Waits for the frame shown to become `expected`, the slider with it.
  bool showsFrame(int32_t expected) {
    return WaitFor([&] {
      return frame() == expected && SendMessageW(slider(), TBM_GETPOS, 0, 0) == expected;
    }, kPatienceMs);
  }

  TempDir dir_;
  fs::path card_;
  std::unique_ptr<ViewerProcess> viewer_;
  int32_t frames_ = 0;  // of the drive, as the readout counts them
};

struct Moments {
  std::vector<int32_t> switches;
  std::vector<int32_t> peaks;
};

// Where the drive's switch presses start and where its G peaks are, as the viewer's
// own reading of the file finds them.
Moments MomentsOf(const std::wstring& path) {
  VideoArchive archive;
  archive.Load(path, nullptr);
  const VideoInfo07 info(archive);
  return {SwitchPressStarts(info), GPeaks(info)};
}

TEST_F(KeysEndToEndTest, StepsAndJumpsShowTheFrameTheyName) {
  const Moments moments = MomentsOf(path(kDrive));
  ASSERT_EQ(moments.switches.size(), 2u);
  ASSERT_FALSE(moments.peaks.empty());
  struct Row {
    const char* what;
    WORD key;
    bool shift;
    bool control;
    int32_t frame;
  };
  const Row rows[] = {
      {"Home", VK_HOME, false, false, 0},
      {"back at the first frame does nothing", VK_LEFT, false, false, 0},
      {"one forward", VK_RIGHT, false, false, 1},
      {"one back", VK_LEFT, false, false, 0},
      {"a second forward", VK_RIGHT, true, false, 28},
      {"ten seconds forward", VK_RIGHT, false, true, 308},
      {"a second back", VK_LEFT, true, false, 280},
      {"ten seconds back", VK_LEFT, false, true, 0},
      {"next switch press", VK_DOWN, false, false, moments.switches[0]},
      {"the one after", VK_DOWN, false, false, moments.switches[1]},
      {"none ahead: nothing", VK_DOWN, false, false, moments.switches[1]},
      {"previous switch press", VK_UP, false, false, moments.switches[0]},
      {"End", VK_END, false, false, frames_ - 1},
      {"forward at the last frame does nothing", VK_RIGHT, false, false, frames_ - 1},
      {"Home again", VK_HOME, false, false, 0},
      {"next G peak", 'G', false, false, moments.peaks[0]},
      {"previous G peak: none before the first", 'G', true, false, moments.peaks[0]},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    viewer_->key(r.key, r.shift, r.control);
    EXPECT_TRUE(showsFrame(r.frame)) << text(readout());
  }
  // No key opened a box.
  EXPECT_EQ(viewer_->dialog(200), nullptr);
}

TEST_F(KeysEndToEndTest, SpeedDirectionAndLoopShowBesideTheSlider) {
  struct Row {
    wchar_t typed;  // 0: the virtual key
    WORD key;
    std::wstring speed;
  };
  const Row rows[] = {
      {L']', 0, L"2倍速"},
      {L']', 0, L"4倍速"},
      {L'[', 0, L"2倍速"},
      {L'r', 0, L"2倍速 逆再生"},
      {L'l', 0, L"2倍速 逆再生 ループ"},
      {0, VK_BACK, L"ループ"},
      {L'L', 0, L""},
      {L'[', 0, L"1/2倍速"},
      {L'R', 0, L"1/2倍速 逆再生"},
      {L'R', 0, L"1/2倍速"},
      {0, VK_BACK, L""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(text(r.speed));
    if (r.typed != 0) {
      viewer_->type(r.typed);
    } else {
      viewer_->key(r.key);
    }
    EXPECT_TRUE(WaitFor([&] { return speedLine() == r.speed; }, kPatienceMs)) << text(readout());
  }
}

// Played fast, backwards and looped, the frames move the way the speed says; the
// measured rates are the benchmark's, here only the direction and the bounds.
TEST_F(KeysEndToEndTest, FastReverseAndLoopedPlaybackMoveAsChosen) {
  viewer_->key(VK_END);
  ASSERT_TRUE(showsFrame(frames_ - 1));
  // Backwards at 8 times from the end: within a second it is far back.
  for (int i = 0; i < 3; ++i) viewer_->type(L']');
  viewer_->type(L'r');
  ASSERT_TRUE(WaitFor([&] { return speedLine() == L"8倍速 逆再生"; }, kPatienceMs));
  viewer_->key(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return frame() == -1; }, kPatienceMs)) << "playing hides the frame";
  Sleep(1000);
  viewer_->key(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return frame() >= 0; }, kPatienceMs));
  EXPECT_LT(frame(), frames_ - 1 - 100) << text(readout());

  // A marked range of 28 frames looped forwards at 2 times: it never leaves the range.
  viewer_->key(VK_BACK);
  viewer_->key(VK_HOME);
  ASSERT_TRUE(showsFrame(0));
  viewer_->key(VK_RIGHT, true);
  ASSERT_TRUE(showsFrame(28));
  viewer_->type(L'i');
  viewer_->key(VK_RIGHT, true);
  ASSERT_TRUE(showsFrame(56));
  viewer_->type(L'o');
  viewer_->type(L'l');
  viewer_->type(L']');
  ASSERT_TRUE(WaitFor([&] { return speedLine() == L"2倍速 ループ"; }, kPatienceMs));
  viewer_->key(VK_SPACE);
  Sleep(1500);  // three rounds
  viewer_->key(VK_SPACE);
  ASSERT_TRUE(WaitFor([&] { return frame() >= 0; }, kPatienceMs));
  EXPECT_GE(frame(), 28);
  EXPECT_LE(frame(), 56);
  // X clears the marks and the loop spans the whole recording again.
  viewer_->type(L'x');
  viewer_->type(L'l');
  EXPECT_TRUE(WaitFor([&] { return speedLine() == L"2倍速"; }, kPatienceMs));
}

TEST_F(KeysEndToEndTest, PageKeysStepRecordingsAndDatesAndCtrlOOpensTheChooser) {
  const struct {
    WORD key;
    bool control;
    const wchar_t* landsOn;
  } rows[] = {
      {VK_NEXT, false, L"0002_002.DAT"},
      {VK_NEXT, false, L"0002_002.DAT"},  // the last recording: nothing
      {VK_PRIOR, false, L"0002_001.DAT"},
      {VK_PRIOR, true, L"0001_001.DAT"},  // the first of the date before
      {VK_PRIOR, true, L"0001_001.DAT"},  // no date before: nothing
      {VK_NEXT, true, L"0002_001.DAT"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(text(r.landsOn));
    viewer_->key(r.key, false, r.control);
    EXPECT_TRUE(landsOn(r.landsOn)) << text(viewer_->title());
    EXPECT_EQ(viewer_->dialog(300), nullptr);
  }
  viewer_->key('O', false, true);
  const HWND chooser = viewer_->dialog();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(viewer_->press(IDCANCEL));
}

// ---- the moment taken away ----

// The names in `folder`.
std::set<std::wstring> NamesIn(const fs::path& folder) {
  std::set<std::wstring> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().wstring());
  return names;
}

// The slot column of a clip's table, in its order.
std::vector<int32_t> SlotsOf(const fs::path& csv) {
  std::ifstream in(csv);
  std::string line;
  std::getline(in, line);  // the header
  std::vector<int32_t> slots;
  while (std::getline(in, line)) slots.push_back(std::stoi(line.substr(0, line.find(','))));
  return slots;
}

class ExportEndToEndTest : public KeysEndToEndTest {
 protected:
  // Ctrl+E, the dialog answered (the whole recording or not, the band or not), the
  // dialog gone; false when it did not come or go.
  bool exportWith(bool whole, bool band) {
    viewer_->key('E', false, true);
    const HWND dialog = viewer_->dialog();
    if (dialog == nullptr) return false;
    if (whole) ViewerProcess::click(GetDlgItem(dialog, IDC_EXPORT_WHOLE));
    if (band) ViewerProcess::click(GetDlgItem(dialog, IDC_EXPORT_OVERLAY));
    marked_ = IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_MARKED)) != FALSE &&
              SendDlgItemMessageW(dialog, IDC_EXPORT_MARKED, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return viewer_->press(IDOK);
  }
  // The export's progress window (not a dialog: it has its own class), waited for.
  HWND progress() const {
    HWND found = nullptr;
    const std::wstring title = LoadText(kTextExportProgressTitle);
    WaitFor([&] { return (found = FindWindowW(nullptr, title.c_str())) != nullptr; }, kPatienceMs);
    return found;
  }

  fs::path out() {
    const fs::path folder = dir_.path() / "out";
    fs::create_directories(folder);
    return folder;
  }
  bool marked_ = false;  // the dialog offered the marked range, and chose it first
};

TEST_F(ExportEndToEndTest, CtrlEWritesTheMarkedRangeAsAClipWithItsTableAndHashList) {
  viewer_->key(VK_HOME);
  viewer_->key(VK_RIGHT, true);
  ASSERT_TRUE(showsFrame(28));
  viewer_->type(L'i');
  viewer_->key(VK_RIGHT, true);
  viewer_->key(VK_RIGHT, true);
  ASSERT_TRUE(showsFrame(84));
  viewer_->type(L'o');
  ASSERT_TRUE(exportWith(false, false));
  EXPECT_TRUE(marked_);
  ASSERT_TRUE(viewer_->choose((out() / "moment.avi").wstring()));
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextExportDone));
  EXPECT_TRUE(viewer_->press(IDOK));
  EXPECT_EQ(NamesIn(out()), (std::set<std::wstring>{L"moment.avi", L"moment.csv", L"moment.sha256"}));
  const std::vector<int32_t> slots = SlotsOf(out() / "moment.csv");
  ASSERT_EQ(slots.size(), 57u);
  EXPECT_EQ(slots.front(), 28);
  EXPECT_EQ(slots.back(), 84);
  // The clip's main header counts the range's frames (the writer's own tests read the
  // pictures and the sound back with ffmpeg).
  std::ifstream clip(out() / "moment.avi", std::ios::binary);
  uint32_t totalFrames = 0;
  clip.seekg(48);
  clip.read(reinterpret_cast<char*>(&totalFrames), sizeof totalFrames);
  EXPECT_EQ(totalFrames, 57u);
  // The hash list names the recording by the path the viewer read it from.
  std::ifstream list(out() / "moment.sha256");
  const std::string hashes((std::istreambuf_iterator<char>(list)), {});
  EXPECT_NE(hashes.find("0002_001.DAT"), std::string::npos) << hashes;
}

TEST_F(ExportEndToEndTest, ACancelledExportLeavesNothingAndTheViewerPlaysOn) {
  // A minute of full-size pictures with the band burned in: long enough to be stopped.
  recsim::WriteRecording(recsim::FastDrive(60000, 640, 480), path(L"0009_001.DAT"));
  ASSERT_TRUE(viewer_->open(path(L"0009_001.DAT")));
  ASSERT_TRUE(landsOn(L"0009_001.DAT"));
  ASSERT_TRUE(exportWith(true, true));
  EXPECT_FALSE(marked_);
  ASSERT_TRUE(viewer_->choose((out() / "cancelled.avi").wstring()));
  const HWND window = progress();
  ASSERT_NE(window, nullptr);
  // What the Cancel button sends when it is clicked.
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
  EXPECT_EQ(viewer_->boxText(), LoadText(kTextExportCancelled));
  EXPECT_TRUE(viewer_->press(IDOK));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(NamesIn(out()).empty());
  // The main window answers as before: Space plays on.
  const int32_t before = frame();
  viewer_->key(VK_SPACE);
  EXPECT_TRUE(WaitFor([&] { return frame() > before + 5; }, kPatienceMs));
}

// ---- the drive's numbers ----

using DriveNumbersEndToEndTest = KeysEndToEndTest;

TEST_F(DriveNumbersEndToEndTest, ClickingATimeOfTheSummaryShowsThatFrame) {
  VideoArchive archive;
  archive.Load(path(kDrive), nullptr);
  const DriveSummary summary = SummarizeDrive(VideoInfo07(archive));
  ASSERT_GE(summary.maxSpeedAt.slot, 0);
  viewer_->menu(IDM_VIEW_DRIVE_SUMMARY);
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    window = FindWindowW(nullptr, LoadText(kTextSummaryTitle).c_str());
    return window != nullptr && IsWindowVisible(window);
  }, kPatienceMs));
  // The fifth line is the highest speed; its time, the link, starts at x 200.
  constexpr int kFastestLine = 4;
  ViewerProcess::click(window, 210, 10 + kFastestLine * 18 + 6);
  EXPECT_TRUE(WaitFor([&] { return frame() == summary.maxSpeedAt.slot; }, kPatienceMs)) << frame();
  EXPECT_TRUE(IsWindow(window)) << "the window stays open";
  // The start's time goes back to the first frame.
  ViewerProcess::click(window, 210, 10 + 6);
  EXPECT_TRUE(WaitFor([&] { return frame() == 0; }, kPatienceMs)) << frame();
}

}  // namespace
