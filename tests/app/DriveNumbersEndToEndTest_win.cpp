// The drive's numbers in the real Pathscope.exe, driven from outside: the view menu's
// values under the clock, read from the screen, and a time of the drive summary clicked,
// read from the console's readout where the frame shown is named.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DemoCard.h"
#include "ScreenCapture_win.h"
#include "TempDir.h"
#include "ViewerDriver_win.h"
#include "foundation/CommandIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/DriveMoments.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"
#include "toolkit/Image.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kDrive = L"0002_001.DAT";  // the demo drive with switch presses

std::vector<recsim::DemoCard::Recording> Card() {
  std::vector<recsim::DemoCard::Recording> plan = recsim::DemoCard::Plan();
  plan.resize(2);
  for (auto& r : plan) {
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

uint32_t Pixel(const Image& image, int x, int y) {
  const uint8_t* p = image.Pixels() + ((image.Height() - 1 - y) * image.Width() + x) * 4;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

// Amber pixels in the information panel's values strip.
int AmberInStrip(HWND info) {
  const std::unique_ptr<Image> shot = CaptureClient(info);
  if (!shot) return -1;
  int n = 0;
  for (int y = 150; y < 179; ++y)
    for (int x = 1; x < 208; ++x) n += Pixel(*shot, x, y) == 0xFFB43C;
  return n;
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
  HWND info() {
    const HWND main = viewer_->mainWindow();
    RECT c;
    GetClientRect(main, &c);
    return ViewerProcess::ChildAt(main, c.right - 209, 0, 209, 180);
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

TEST_F(DriveNumbersEndToEndTest, ViewMenuShowsTheFramesValuesUnderTheClock) {
  ASSERT_NE(info(), nullptr);
  EXPECT_EQ(AmberInStrip(info()), 0) << "off until asked for";
  viewer_->menu(IDM_VIEW_FRAME_VALUES);
  EXPECT_TRUE(WaitFor([&] { return AmberInStrip(info()) > 40; }, kPatienceMs));
  viewer_->menu(IDM_VIEW_FRAME_VALUES);
  EXPECT_TRUE(WaitFor([&] { return AmberInStrip(info()) == 0; }, kPatienceMs));
}

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
