#include "playback/PlayerCommands_win.h"

#include "foundation/CommandIds.h"
#include "playback/ConsolePanel_win.h"
#include "playback/PlayButton_win.h"
#include "playback/VideoPlayer_win.h"

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
      return false;
  }
}
