// The gallery's picture scenes: a recording's picture whole, zoomed in at a point with
// the wheel, and zoomed and panned with a drag.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "RecorderSimulator.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/MessagePump_win.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kShownFrame = 40;

// The stage as the player's owner; it asks nothing of the stage.
class StageOwner : public IPlayerOwner {
 public:
  explicit StageOwner(HWND stage) : stage_(stage) {}
  HWND ownerWindow() const override { return stage_; }
  void refreshPlayback() override {}
  void runCommand(WORD) override {}
  void seekTo(int32_t) override {}
  void setBusy(bool) override {}
  void recordingChanged() override {}
  void resetView() override {}
  void showWarning(const std::wstring&) override {}

 private:
  HWND stage_;
};

const std::wstring& RecordingPath() {
  static const std::wstring path = [] {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / L"pathscope-gallery-zoom.DAT";
    recsim::RecordingDescription d;
    d.start = {2013, 4, 5, 9, 0, 0};
    d.durationMs = 2000;
    d.width = 320;
    d.height = 240;
    d.sound = false;
    recsim::WriteRecording(d, file.wstring());
    return file.wstring();
  }();
  return path;
}

// The player filling the stage, paused on kShownFrame once its picture has come.
VideoPlayer& ShowPicture(GalleryStage& stage) {
  static std::unique_ptr<StageOwner> owner;
  owner = std::make_unique<StageOwner>(stage.handle());
  VideoPlayer* player = new VideoPlayer(*owner);
  MoveWindow(player->handle(), 0, 0, kWidth, kHeight, TRUE);
  player->setSingleFile(RecordingPath());
  player->openRecordingAt(0);
  PumpUntil([&] { return player->picture() != nullptr; }, 20000);
  const Image* first = player->picture();
  player->seek(kShownFrame);
  PumpUntil([&] { return player->picture() != first; }, 20000);
  return *player;
}

// What the wheel sends over client point (x, y): the point in screen coordinates.
void TurnWheel(HWND window, int x, int y, int notches) {
  POINT at = {x, y};
  ClientToScreen(window, &at);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notches * WHEEL_DELTA)),
               MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
}

}  // namespace

void AddPlayerScenes(std::vector<GalleryScene>& scenes) {
  scenes.push_back({L"picture-whole", kWidth, kHeight, [](GalleryStage& s) { ShowPicture(s); }, 600});
  // Four notches at the roadside post: four times, the post kept under the pointer.
  scenes.push_back({L"picture-zoomed", kWidth, kHeight, [](GalleryStage& s) {
                      TurnWheel(ShowPicture(s).handle(), 48, 125, 4);
                    }, 600});
  scenes.push_back({L"picture-zoomed-panned", kWidth, kHeight, [](GalleryStage& s) {
                      const HWND player = ShowPicture(s).handle();
                      TurnWheel(player, 160, 130, 6);
                      SendMessageW(player, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
                      SendMessageW(player, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(220, 150));
                      SendMessageW(player, WM_LBUTTONUP, 0, MAKELPARAM(220, 150));
                    }, 600});
}
