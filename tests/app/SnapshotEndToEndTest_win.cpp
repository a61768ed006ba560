// The snapshot keys of the real Pathscope.exe, typed through the system's input queue:
// Ctrl+S saves the frame shown as its stored JPEG, Ctrl+Shift+S the picture as shown as a
// PNG with the time band, both through the save chooser; Ctrl+C puts the picture as shown
// on the clipboard. What they wrote is checked against the test's own reading of the
// recording, the picture as the viewer starts (whole, brightness 1.2).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "DemoCard.h"
#include "TempDir.h"
#include "ViewerDriver_win.h"
#include "export/ClipOverlay.h"
#include "export/ClipTimes.h"
#include "export/Snapshot.h"
#include "recording/VideoArchive.h"
#include "toolkit/ClipboardPicture_win.h"
#include "toolkit/GammaCorrection.h"
#include "toolkit/ImageDecoding.h"
#include "toolkit/ScopedWin_win.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kDrive = L"0001_001.DAT";
constexpr int kWidth = 320;
constexpr int kHeight = 240;

std::vector<recsim::DemoCard::Recording> Card() {
  std::vector<recsim::DemoCard::Recording> plan = recsim::DemoCard::Plan();
  plan.resize(1);
  plan[0].name = kDrive;
  plan[0].description.durationMs = 20000;
  plan[0].description.width = kWidth;
  plan[0].description.height = kHeight;
  return plan;
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

// The clipboard's DIB, or nothing when it holds none.
std::vector<uint8_t> ClipboardDib() {
  ScopedClipboard clipboard(nullptr);
  const HANDLE data = clipboard.opened() ? GetClipboardData(CF_DIB) : nullptr;
  const void* at = data == nullptr ? nullptr : GlobalLock(data);
  if (at == nullptr) return {};
  const auto* bytes = static_cast<const uint8_t*>(at);
  std::vector<uint8_t> dib(bytes, bytes + GlobalSize(data));
  GlobalUnlock(data);
  return dib;
}

void EmptyTheClipboard() {
  ScopedClipboard clipboard(nullptr);
  if (clipboard.opened()) EmptyClipboard();
}

class SnapshotEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_ = dir_.path() / "card";
    recsim::DemoCard::Write(card_.wstring(), Card());
    archive_.Load((card_ / kDrive).wstring(), nullptr);
    viewer_ = std::make_unique<ViewerProcess>(PATHSCOPE_EXE, dir_.path().wstring());
    ASSERT_TRUE(viewer_->started());
    ASSERT_NE(viewer_->mainWindow(), nullptr);
    ASSERT_TRUE(viewer_->open((card_ / kDrive).wstring()));
    // Paused a moment after the start, so that the frame is not the first one; the
    // readout shows the frame once paused, and the picture of that frame follows.
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(slider(), TBM_GETPOS, 0, 0) >= 20; }, kPatienceMs));
    viewer_->key(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return frame() >= 0; }, kPatienceMs));
    WaitFor([] { return false; }, 500);
    slot_ = frame();
  }
  void TearDown() override {
    if (HasFailure()) {
      const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      SaveScreenshot((fs::path(PATHSCOPE_SHOTS) / ("SnapshotEndToEndTest." + name + "-failed.bmp")).wstring());
    }
    viewer_.reset();
  }

  HWND slider() { return viewer_->slider(); }
  // The frame the console's readout shows once paused.
  int32_t frame() { return ViewerProcess::FrameOf(viewer_->readout()); }
  // The frame as the viewer shows it: decoded as the viewer decodes it, brightened.
  std::unique_ptr<Image> shownPicture() {
    std::unique_ptr<Image> picture = archive_.ReadFrameImage(slot_);
    GammaCorrection gamma;
    gamma.SetGamma(1.2);
    if (picture) gamma.Apply(*picture);
    return picture;
  }

  TempDir dir_;
  fs::path card_;
  VideoArchive archive_;
  std::unique_ptr<ViewerProcess> viewer_;
  int32_t slot_ = -1;
};

TEST_F(SnapshotEndToEndTest, TheSaveKeysWriteTheStoredFrameAndThePictureAsShownWithItsBand) {
  const struct {
    const char* what;
    bool shift;
    std::wstring proposed;
    std::function<void(const std::vector<uint8_t>&)> check;
  } rows[] = {
      {"Ctrl+S: the stored JPEG, never encoded again", false, snapshot::PictureName(archive_, slot_),
       [&](const std::vector<uint8_t>& written) {
         std::vector<uint8_t> stored;
         ASSERT_TRUE(archive_.ReadFrameJpeg(slot_, stored));
         EXPECT_EQ(written, stored);
       }},
      {"Ctrl+Shift+S: the picture as shown, with the band", true, snapshot::ShownPictureName(archive_, slot_),
       [&](const std::vector<uint8_t>& written) {
         const std::unique_ptr<Image> png = DecodePngImage(written.data(), written.size());
         ASSERT_TRUE(png);
         ASSERT_EQ(png->Width(), kWidth);
         ASSERT_EQ(png->Height(), kHeight);
         std::unique_ptr<Image> expected = shownPicture();
         ASSERT_TRUE(expected);
         const FrameEntry* entry = archive_.Entry(slot_);
         ASSERT_NE(entry, nullptr);
         clipoverlay::Burn(*expected, clipoverlay::BandText(*entry, slot_,
                                                            cliptimes::FrameWithinSecond(archive_, slot_)));
         int wrong = 0;
         for (int i = 0; i < kWidth * kHeight * 4; i += 4) {
           if (std::memcmp(png->Pixels() + i, expected->Pixels() + i, 3) != 0) ++wrong;
         }
         EXPECT_EQ(wrong, 0) << "pixels unlike the brightened frame with its band";
       }},
  };
  ASSERT_GE(slot_, 10);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const fs::path target = dir_.path() / (std::string("saved-") + (row.shift ? "shown.png" : "frame.jpg"));
    viewer_->key('S', row.shift, true);
    EXPECT_EQ(viewer_->proposedName(), row.proposed);
    ASSERT_TRUE(viewer_->choose(target.wstring()));
    ASSERT_TRUE(WaitFor([&] { return fs::exists(target); }, kPatienceMs));
    EXPECT_FALSE(fs::exists(target.wstring() + L".partial")) << "the temporary name is left behind";
    EXPECT_EQ(frame(), slot_) << "the frame shown moved";
    // Renamed once complete: what carries the name is the whole file.
    row.check(FileBytes(target));
  }
}

TEST_F(SnapshotEndToEndTest, CtrlCPutsThePictureAsShownOnTheClipboardWithoutTheBand) {
  EmptyTheClipboard();
  viewer_->key('C', false, true);
  ASSERT_TRUE(WaitFor([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }, kPatienceMs));
  const std::unique_ptr<Image> expected = shownPicture();
  ASSERT_TRUE(expected);
  const std::vector<uint8_t> dib = PackedDib(*expected);
  std::vector<uint8_t> pasted = ClipboardDib();
  // The system may round the block up; what the viewer put there is its start.
  ASSERT_GE(pasted.size(), dib.size());
  pasted.resize(dib.size());
  EXPECT_EQ(pasted, dib);
  EXPECT_EQ(viewer_->dialog(500), nullptr) << "a box came";
}

}  // namespace
