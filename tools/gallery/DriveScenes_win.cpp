// The gallery's scenes of the drive's numbers: the information panel with the frame's
// speed and G values (a frame of a recording, no recording, a frame without an entry) and
// the chart with each choice of the view menu.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "RecorderSimulator.h"
#include "playback/DriveSummaryWindow_win.h"
#include "playback/DriveValues.h"
#include "playback/GCircle_win.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/IVideoInfo.h"

namespace {

constexpr int kShownFrame = 100;
constexpr int kChartWidth = 700;
constexpr int kChartHeight = 90;
constexpr int kStageWidth = 209 + 10 + kChartWidth;
constexpr int kStageHeight = 180;

// The player's recording and frame, or a frame past its end, which has no entry.
class DriveSource : public IFrameSource {
 public:
  const IVideoInfo* info() const override { return player != nullptr ? player->info() : nullptr; }
  int32_t currentFrame() const override {
    if (player == nullptr) return 0;
    return pastTheEnd && info() != nullptr ? info()->GetSlotCount() : player->currentFrame();
  }
  VideoPlayer* player = nullptr;
  bool pastTheEnd = false;
};

class DriveOwner : public IPlayerOwner {
 public:
  explicit DriveOwner(HWND stage) : stage_(stage) {}
  HWND ownerWindow() const override { return stage_; }
  void refreshPlayback() override {
    if (chart != nullptr) {
      HDC dc = GetDC(chart->handle());
      chart->drawChart(dc);
      ReleaseDC(chart->handle(), dc);
    }
    if (info != nullptr) InvalidateRect(info->handle(), nullptr, FALSE);
    if (circle != nullptr) circle->refresh();
  }
  void runCommand(WORD) override {}
  void seekTo(int32_t) override {}
  void setBusy(bool) override {}
  void recordingChanged() override {}
  void resetView() override {}
  void showWarning(const std::wstring&) override {}

  DriveSource source;
  GCircle* circle = nullptr;
  DriveSummaryWindow* summary = nullptr;
  InfoPanel* info = nullptr;
  LineChart* chart = nullptr;

 private:
  HWND stage_;
};

// Ten seconds of a drive: braking, a bend each way and a bump; the switch pressed twice.
std::wstring DriveRecording() {
  static const std::wstring path = [] {
    const std::filesystem::path f = std::filesystem::temp_directory_path() / L"pathscope-gallery-drive";
    std::filesystem::create_directories(f);
    recsim::RecordingDescription d;
    d.start = {2013, 4, 5, 17, 45, 15};
    d.durationMs = 10000;
    d.mode = recsim::PictureMode::Fast;
    d.fastVariants = 1;
    d.width = 160;
    d.height = 120;
    d.sound = false;
    d.switchPressesMs = {3000, 7000};
    d.manoeuvres = {{recsim::Manoeuvre::Kind::Braking, 1500, 1500, 0.7},
                    {recsim::Manoeuvre::Kind::Cornering, 4000, 1500, 0.6},
                    {recsim::Manoeuvre::Kind::Cornering, 6000, 1500, -0.5},
                    {recsim::Manoeuvre::Kind::Bump, 8500, 400, 0.8}};
    const std::wstring file = (f / L"0001_001.DAT").wstring();
    recsim::WriteRecording(d, file);
    return file;
  }();
  return path;
}

std::unique_ptr<DriveOwner>& CurrentOwner() {
  static std::unique_ptr<DriveOwner> owner;
  return owner;
}

// The information panel at the left, the chart beside it; with a recording at
// kShownFrame when `withRecording`.
DriveOwner& Build(GalleryStage& stage, bool withRecording, const drivevalues::ChartSeries& series) {
  std::unique_ptr<DriveOwner>& owner = CurrentOwner();
  owner = std::make_unique<DriveOwner>(stage.handle());
  VideoPlayer* player = new VideoPlayer(*owner);
  ShowWindow(player->handle(), SW_HIDE);
  owner->source.player = player;
  owner->info = new InfoPanel(*owner, owner->source);
  owner->chart = new LineChart(*owner, owner->source);
  MoveWindow(owner->info->handle(), 0, 0, 209, 180, TRUE);
  MoveWindow(owner->chart->handle(), 219, 0, kChartWidth, kChartHeight, TRUE);
  owner->info->setValuesShown(true);
  owner->chart->setSeries(series);
  if (withRecording) {
    player->setSingleFile(DriveRecording());
    player->openRecordingAt(0);
    player->seek(kShownFrame);
  }
  owner->circle = new GCircle(*owner, owner->source);
  MoveWindow(owner->circle->handle(), 219, 100, 76, 76, TRUE);
  owner->circle->setShown(true);
  owner->chart->dropCache();
  owner->refreshPlayback();
  return *owner;
}

drivevalues::ChartSeries Series(bool total, bool x, bool y, bool z, bool speed, bool threshold) {
  drivevalues::ChartSeries s;
  s.total = total;
  s.x = x;
  s.y = y;
  s.z = z;
  s.speed = speed;
  s.threshold = threshold;
  return s;
}

}  // namespace

std::vector<GalleryScene> DriveScenes() {
  std::vector<GalleryScene> scenes;
  const auto scene = [&scenes](const wchar_t* name, bool withRecording, drivevalues::ChartSeries series,
                               bool pastTheEnd = false) {
    scenes.push_back({name, kStageWidth, kStageHeight, [=](GalleryStage& stage) {
                        DriveOwner& owner = Build(stage, withRecording, series);
                        owner.source.pastTheEnd = pastTheEnd;
                        owner.refreshPlayback();
                      }, 600});
  };
  scene(L"drive-values-frame-100", true, drivevalues::ChartSeries());
  scene(L"drive-values-no-recording", false, drivevalues::ChartSeries());
  scene(L"drive-values-missing-entry", true, drivevalues::ChartSeries(), true);
  scene(L"drive-chart-axes", true, Series(false, true, true, true, false, false));
  scene(L"drive-chart-speed-threshold", true, Series(true, false, false, false, true, true));
  scene(L"drive-chart-every-series", true, Series(true, true, true, true, true, true));
  // The summary window, made a child of the stage so that the stage's screenshot holds it.
  scenes.push_back({L"drive-summary", kStageWidth, 380, [](GalleryStage& stage) {
                      DriveOwner& owner = Build(stage, true, drivevalues::ChartSeries());
                      DriveSummaryWindow& window = DriveSummaryWindow::Show(owner, owner.source, owner.summary);
                      SetWindowLongPtrW(window.handle(), GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_BORDER);
                      SetParent(window.handle(), stage.handle());
                      SetWindowPos(window.handle(), HWND_TOP, 310, 100, 0, 0, SWP_FRAMECHANGED | SWP_NOSIZE);
                      window.update();
                      SendMessageW(window.handle(), WM_KEYDOWN, VK_TAB, 0);
                    }, 600});
  return scenes;
}
