// The drive's numbers in the real Pathscope.exe, driven from outside: the drive summary
// opened from the view menu and its times clicked, the frame shown read from the
// console's readout where it is named.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DemoCard.h"
#include "TempDir.h"
#include "ViewerDriver_win.h"
#include "foundation/CommandIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/DriveMoments.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kDrive = L"0002_001.DAT";  // the demo drive with switch presses

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

// "#00146 / 00560 ..." -> 145; -1 when the readout shows no frame.
int32_t FrameOf(const std::wstring& readout) {
  if (readout.size() < 6 || readout[0] != L'#') return -1;
  return std::stoi(readout.substr(1, 5)) - 1;
}

class DriveNumbersEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_ = dir_.path() / "card";
    recsim::DemoCard::Write(card_.wstring(), Card());
    viewer_ = std::make_unique<ViewerProcess>(PATHSCOPE_EXE, dir_.path().wstring());
    ASSERT_TRUE(viewer_->started());
    ASSERT_NE(viewer_->mainWindow(), nullptr);
    ASSERT_TRUE(viewer_->open(path()));
    const std::wstring title = path() + L" - " + LoadText(kTextAppName);
    ASSERT_TRUE(WaitFor([&] { return viewer_->title() == title && console() != nullptr && IsWindowEnabled(console()); },
                        kPatienceMs));
    viewer_->menu(IDM_PLAY_PAUSE);
    ASSERT_TRUE(WaitFor([&] { return frame() >= 0; }, kPatienceMs));
  }
  void TearDown() override {
    if (HasFailure()) {
      const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      SaveScreenshot((fs::path(PATHSCOPE_SHOTS) / ("DriveNumbersEndToEndTest." + name + "-failed.bmp")).wstring());
    }
    viewer_.reset();
  }
  std::wstring path() const { return (card_ / kDrive).wstring(); }
  HWND console() {
    const HWND main = viewer_->mainWindow();
    RECT c;
    GetClientRect(main, &c);
    return ViewerProcess::ChildAt(main, 0, c.bottom - 155, c.right, 65);
  }
  int32_t frame() {
    wchar_t buffer[256] = {};
    GetWindowTextW(console(), buffer, 256);
    return FrameOf(buffer);
  }

  TempDir dir_;
  fs::path card_;
  std::unique_ptr<ViewerProcess> viewer_;
};

}  // namespace

TEST_F(DriveNumbersEndToEndTest, ClickingATimeOfTheSummaryShowsThatFrame) {
  VideoArchive archive;
  archive.Load(path(), nullptr);
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
