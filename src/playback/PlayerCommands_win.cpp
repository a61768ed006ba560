#include "playback/PlayerCommands_win.h"

#include <cstdint>

#include "foundation/CommandIds.h"
#include "playback/ConsolePanel_win.h"
#include "playback/PlayButton_win.h"
#include "playback/PlaySpeed.h"
#include "playback/VideoPlayer_win.h"
#include "recording/DriveMoments.h"

namespace {

constexpr int32_t kFramesASecond = 28;

// The first of `slots` after `frame` (or the last before it); -1 when there is none.
int32_t Neighbour(const std::vector<int32_t>& slots, int32_t frame, bool backward) {
  int32_t found = -1;
  for (const int32_t slot : slots) {
    if (!backward && slot > frame) return slot;
    if (backward && slot < frame) found = slot;
  }
  return found;
}

void JumpTo(VideoPlayer& player, int32_t slot) {
  if (slot >= 0) player.moveTo(slot);
}

bool RunMove(WORD id, VideoPlayer& player) {
  const int32_t frame = player.currentFrame();
  const IVideoInfo* info = player.info();
  if (info == nullptr) return id >= IDM_FRAME_FORWARD && id <= IDM_PREVIOUS_G_PEAK;
  switch (id) {
    case IDM_FRAME_FORWARD:
      player.step(1);
      return true;
    case IDM_FRAME_BACK:
      player.step(-1);
      return true;
    case IDM_SECOND_FORWARD:
    case IDM_SECOND_BACK:
    case IDM_TEN_SECONDS_FORWARD:
    case IDM_TEN_SECONDS_BACK: {
      const int32_t size = id == IDM_SECOND_FORWARD || id == IDM_SECOND_BACK ? kFramesASecond : 10 * kFramesASecond;
      const bool back = id == IDM_SECOND_BACK || id == IDM_TEN_SECONDS_BACK;
      player.moveTo(frame + (back ? -size : size));
      return true;
    }
    case IDM_FIRST_FRAME:
      player.moveTo(0);
      return true;
    case IDM_LAST_FRAME:
      player.moveTo(player.frameCount() - 1);
      return true;
    case IDM_NEXT_SWITCH:
    case IDM_PREVIOUS_SWITCH:
      JumpTo(player, Neighbour(SwitchPressStarts(*info), frame, id == IDM_PREVIOUS_SWITCH));
      return true;
    case IDM_NEXT_G_PEAK:
    case IDM_PREVIOUS_G_PEAK:
      JumpTo(player, Neighbour(GPeaks(*info), frame, id == IDM_PREVIOUS_G_PEAK));
      return true;
    default:
      return false;
  }
}

bool RunSpeed(WORD id, VideoPlayer& player) {
  const int speed = player.speedIndex();
  const bool backward = player.backward();
  if (id >= IDM_SPEED_FIRST && id <= IDM_SPEED_LAST) {
    player.setSpeed(id - IDM_SPEED_FIRST, backward);
    return true;
  }
  switch (id) {
    case IDM_FASTER:
      player.setSpeed(playspeed::Faster(speed), backward);
      return true;
    case IDM_SLOWER:
      player.setSpeed(playspeed::Slower(speed), backward);
      return true;
    case IDM_NORMAL_SPEED:
      player.setSpeed(playspeed::kNormal, false);
      return true;
    case IDM_REVERSE:
      player.setSpeed(speed, !backward);
      return true;
    default:
      return false;
  }
}

bool RunMarks(WORD id, VideoPlayer& player) {
  switch (id) {
    case IDM_MARK_START:
      player.markStart();
      return true;
    case IDM_MARK_END:
      player.markEnd();
      return true;
    case IDM_LOOP:
      player.setLoop(!player.range().loop());
      return true;
    case IDM_CLEAR_MARKS:
      player.clearMarks();
      return true;
    default:
      return false;
  }
}

}  // namespace

bool RunPlayerCommand(WORD id, VideoPlayer& player, const ConsolePanel& console) {
  switch (id) {
    case IDM_PLAY_PAUSE:
      if (console.playButton().playing()) {
        player.stop();
      } else {
        player.playOn();
      }
      return true;
    case IDM_STOP:
      player.seek(0);
      return true;
    case IDM_ZOOM_IN:
      player.zoomIn();
      return true;
    case IDM_ZOOM_OUT:
      player.zoomOut();
      return true;
    case IDM_ZOOM_WHOLE:
      player.zoomWhole();
      return true;
    default:
      return RunMove(id, player) || RunSpeed(id, player) || RunMarks(id, player);
  }
}
