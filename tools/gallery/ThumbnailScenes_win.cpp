// The thumbnail panel, empty and filled by its own loader from a simulator recording
// written for the purpose, with a thumbnail chosen by its buttons.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "RecorderSimulator.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/Thumbnail_win.h"
#include "recording/FrameEntry.h"
#include "toolkit/MessagePump_win.h"

namespace {

constexpr int kWidth = 700;
constexpr int kThumbnails = 8;

// The panel's owner on the stage; it opens nothing.
class StageOwner : public IPlaybackOwner {
 public:
  HWND ownerWindow() const override { return window; }
  void runCommand(WORD) override {}
  void seekTo(int32_t) override {}
  void refreshPlayback() override {}
  HWND window = nullptr;
};

StageOwner& Owner(GalleryStage& stage) {
  static StageOwner owner;
  owner.window = stage.handle();
  return owner;
}

// A recording with the clock burned into every picture, written once per run.
const std::wstring& RecordingPath() {
  static const std::wstring path = [] {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / L"pathscope-gallery-thumbnails.DAT";
    recsim::RecordingDescription d;
    d.start = {2026, 5, 4, 8, 15, 2};
    d.pictureCount = kThumbnails;
    d.width = 320;
    d.height = 240;
    d.sound = false;
    recsim::WriteRecording(d, file.wstring());
    return file.wstring();
  }();
  return path;
}

Thumbnail* PlacePanel(GalleryStage& stage) {
  auto* panel = new Thumbnail(Owner(stage));  // deleted with its window
  MoveWindow(panel->handle(), 0, 0, kWidth, Thumbnail::kHeight, TRUE);
  return panel;
}

// Fills the panel with the recording's first pictures, each entry naming the recording
// as its file, and moves the selection with the buttons once all have come.
void Filled(GalleryStage& stage, int nextPresses) {
  Thumbnail* panel = PlacePanel(stage);
  ImageLoader& loader = *panel->loader();
  loader.LoadArchive(RecordingPath(), nullptr);
  for (int s = 0; s < loader.EntryCount(); ++s) {
    const_cast<FrameEntry*>(loader.archive().Entry(s))->sourcePath = RecordingPath();
  }
  panel->Begin(loader.MakeVideoInfo(), kThumbnails);
  PumpUntil([&] { return panel->complete(); }, 20000);
  for (int i = 0; i < nextPresses; ++i) panel->OnClick(&panel->nextButton());
}

}  // namespace

void AddThumbnailScenes(std::vector<GalleryScene>& scenes) {
  scenes.push_back({L"thumbnail-panel-empty", kWidth, Thumbnail::kHeight, [](GalleryStage& s) { PlacePanel(s); }});
  scenes.push_back({L"thumbnail-panel", kWidth, Thumbnail::kHeight, [](GalleryStage& s) { Filled(s, 0); }});
  scenes.push_back({L"thumbnail-panel-third", kWidth, Thumbnail::kHeight, [](GalleryStage& s) { Filled(s, 2); }});
}
