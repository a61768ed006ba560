// The clip export on its worker thread: the owner hears the outcome with its text, the
// progress window shows the frames written and goes, a Cancel leaves no file behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "RecorderSimulator.h"
#include "TempDir.h"
#include "Wait_win.h"
#include "app/ExportProgress_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/WindowMessages_win.h"
#include "toolkit/Window_win.h"

namespace {

constexpr UINT kDone = WM_EXPORT_DONE;

// Stands for the main window: keeps what the export told it.
class Owner : public Window {
 public:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kDone) {
      std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lParam));
      outcome = wParam;
      said = *text;
      return 0;
    }
    return defaultHandling(message, wParam, lParam);
  }
  WPARAM outcome = 0;
  std::wstring said;
};

class ExportProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recsim::RecordingDescription d = recsim::FastDrive(30000, 640, 480);
    archive_ = (dir_ / "0001_001.DAT").wstring();
    recsim::WriteRecording(d, archive_);
    owner_ = new Owner;
    WindowCreateParams p;
    p.className = MAKEINTATOM(Window::defaultClass());
    p.style = WS_OVERLAPPEDWINDOW;
    p.width = 200;
    p.height = 100;
    p.instance = Window::classInstance();
    owner_->create(p);
    ownerWindow_.reset(owner_->handle());
  }

  ClipRequest Request(bool overlay) const {
    ClipRequest r;
    r.archivePath = archive_;
    r.clipPath = (dir_ / "clip.avi").wstring();
    r.overlay = overlay;
    return r;
  }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) names.insert(e.path().filename().string());
    return names;
  }

  TempDir dir_;
  std::wstring archive_;
  Owner* owner_ = nullptr;
  ScopedWindowHandle ownerWindow_;
};

TEST_F(ExportProgressTest, TheOwnerHearsTheClipWrittenAndTheWindowGoes) {
  ExportProgress* progress = ExportProgress::Start(owner_->handle(), kDone, Request(false));
  const HWND window = progress->handle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), owner_->handle());
  ASSERT_TRUE(WaitFor([&] { return owner_->outcome != 0; }));
  EXPECT_EQ(owner_->outcome, ExportProgress::kWritten);
  EXPECT_EQ(owner_->said, LoadText(kTextExportDone));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Names(), (std::set<std::string>{"0001_001.DAT", "clip.avi", "clip.csv", "clip.sha256"}));
}

TEST_F(ExportProgressTest, CancelStopsTheExportAndLeavesNoFile) {
  ExportProgress* progress = ExportProgress::Start(owner_->handle(), kDone, Request(true));
  const HWND window = progress->handle();
  const HWND bar = GetDlgItem(window, ExportProgress::kBarId);
  // The bar moves and the count tells the frames before the click.
  ASSERT_TRUE(WaitFor([&] { return owner_->outcome != 0 || SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }));
  ASSERT_EQ(owner_->outcome, 0u) << "the export ended before it could be cancelled";
  wchar_t count[64] = {};
  GetWindowTextW(GetDlgItem(window, ExportProgress::kCountId), count, 64);
  const std::wstring shown(count);
  EXPECT_NE(shown.find(L" / "), std::wstring::npos);
  EXPECT_EQ(shown.substr(shown.size() - 2), L"コマ");
  SendMessageW(GetDlgItem(window, ExportProgress::kCancelId), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return owner_->outcome != 0; }));
  EXPECT_EQ(owner_->outcome, ExportProgress::kCancelled);
  EXPECT_EQ(owner_->said, LoadText(kTextExportCancelled));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Names(), (std::set<std::string>{"0001_001.DAT"}));
}

TEST_F(ExportProgressTest, AFailureReachesTheOwnerWithItsText) {
  ClipRequest r = Request(false);
  r.first = 100000;
  ExportProgress::Start(owner_->handle(), kDone, r);
  ASSERT_TRUE(WaitFor([&] { return owner_->outcome != 0; }));
  EXPECT_EQ(owner_->outcome, ExportProgress::kFailed);
  EXPECT_EQ(owner_->said, LoadText(kTextExportRangeOutside));
  EXPECT_EQ(Names(), (std::set<std::string>{"0001_001.DAT"}));
}

}  // namespace
