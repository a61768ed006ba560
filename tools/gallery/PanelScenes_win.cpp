// The gallery's panel scenes: the playback controls and the volume and brightness panel,
// empty, beside a player with a recording at a known frame, playing, disabled, and with
// a slider held.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "RecorderSimulator.h"
#include "foundation/LocalTime.h"
#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/PlayButton_win.h"
#include "playback/PlayTrackBar_win.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/ImageButton_win.h"
#include "toolkit/ImageTrackBar_win.h"

namespace {

constexpr int kConsoleWidth = 800;
constexpr int kConsoleHeight = 65;
constexpr int kShownFrame = 60;

// The stage as the panels' and the player's owner; commands are ignored.
class StageOwner : public IPlayerOwner {
 public:
  explicit StageOwner(HWND stage) : stage_(stage) {}
  HWND ownerWindow() const override { return stage_; }
  void refreshPlayback() override {
    if (console != nullptr) console->refreshControls();
  }
  void runCommand(WORD) override {}
  void seekTo(int32_t) override {}
  void setBusy(bool busy) override {
    if (config != nullptr) config->SetAllEnabled(!busy);
  }
  void recordingChanged() override {}
  void resetView() override {}
  void showWarning(const std::wstring&) override {}

  VideoPlayer* player = nullptr;
  ConsolePanel* console = nullptr;
  ConfigPanel* config = nullptr;

 private:
  HWND stage_;
};

// Three recordings on two dates; the middle one has the switch pressed twice.
std::filesystem::path RecordingFolder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path f = std::filesystem::temp_directory_path() / L"pathscope-gallery";
    std::filesystem::create_directories(f);
    const struct {
      const wchar_t* name;
      LocalDateTime start;
      std::vector<int> presses;
    } files[] = {
        {L"0001_001.DAT", {2013, 4, 5, 9, 0, 0}, {}},
        {L"0001_002.DAT", {2013, 4, 5, 10, 0, 0}, {700, 2500}},
        {L"0002_001.DAT", {2013, 4, 6, 9, 0, 0}, {}},
    };
    for (const auto& file : files) {
      recsim::RecordingDescription d;
      d.start = file.start;
      d.durationMs = 4000;
      d.mode = recsim::PictureMode::Fast;
      d.fastVariants = 2;
      d.width = 160;
      d.height = 120;
      d.sound = false;
      d.switchPressesMs = file.presses;
      d.eventSpanMs = 36;  // one picture or two at each press
      recsim::WriteRecording(d, (f / file.name).wstring());
    }
    return f;
  }();
  return folder;
}

// The owner of the current scene; replaced by the next one, after the stage's reset has
// destroyed the windows that used it.
std::unique_ptr<StageOwner>& CurrentOwner() {
  static std::unique_ptr<StageOwner> owner;
  return owner;
}

// A hidden player and the panels on the stage: the console along the top, the
// configuration panel below it at the right.
StageOwner& BuildPanels(GalleryStage& stage, bool withConfig) {
  std::unique_ptr<StageOwner>& owner = CurrentOwner();
  owner = std::make_unique<StageOwner>(stage.handle());
  owner->player = new VideoPlayer(*owner);
  ShowWindow(owner->player->handle(), SW_HIDE);
  owner->console = new ConsolePanel(*owner, *owner->player);
  MoveWindow(owner->console->handle(), 0, 0, kConsoleWidth, kConsoleHeight, TRUE);
  if (withConfig) {
    owner->config = new ConfigPanel(*owner, *owner->player);
    MoveWindow(owner->config->handle(), 0, kConsoleHeight + 10, 209, 220, TRUE);
  }
  owner->refreshPlayback();
  return *owner;
}

// Opens the middle recording of the folder and shows kShownFrame, paused.
void OpenRecording(StageOwner& owner) {
  VideoPlayer& player = *owner.player;
  int count = 0;
  player.setListFromFolder((RecordingFolder() / L"0001_002.DAT").wstring(), count);
  player.openRecordingAt(1);
  owner.console->useRecordingTips();
  player.seek(kShownFrame);
  owner.refreshPlayback();
}

void HoldSlider(ImageTrackBar& slider, int toX) {
  const int fromX = slider.PixelFromValue(slider.Value()) + 2;
  SendMessageW(slider.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, 8));
  SendMessageW(slider.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 8));
}

}  // namespace

std::vector<GalleryScene> PanelScenes() {
  std::vector<GalleryScene> scenes;
  const int height = kConsoleHeight + 10 + 220;
  scenes.push_back({L"panels-empty", kConsoleWidth, height,
                    [](GalleryStage& stage) { BuildPanels(stage, true); }});
  scenes.push_back({L"panels-recording-frame-60", kConsoleWidth, height, [](GalleryStage& stage) {
                      OpenRecording(BuildPanels(stage, true));
                    }, 600});
  scenes.push_back({L"panels-playing", kConsoleWidth, height, [](GalleryStage& stage) {
                      StageOwner& owner = BuildPanels(stage, true);
                      OpenRecording(owner);
                      owner.player->playFrom(kShownFrame);
                    }, 400});
  scenes.push_back({L"panels-disabled", kConsoleWidth, height, [](GalleryStage& stage) {
                      StageOwner& owner = BuildPanels(stage, true);
                      OpenRecording(owner);
                      owner.console->setEnabled(false);
                      owner.config->SetAllEnabled(false);
                    }, 600});
  scenes.push_back({L"panels-brightness-held", kConsoleWidth, height, [](GalleryStage& stage) {
                      StageOwner& owner = BuildPanels(stage, true);
                      HoldSlider(owner.config->brightnessSlider(), 110);
                    }, 600});
  return scenes;
}
