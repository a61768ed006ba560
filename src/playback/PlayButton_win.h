#pragma once
// The play/pause button of the console panel: an image button with a second look. It
// shows the pause pictures while the player plays and the play pictures otherwise.
#include "toolkit/ImageButton_win.h"

class PlayButton : public ImageButton {
 public:
  // Creates the button at the given rectangle with the play look.
  void Create(HWND owner, int x, int y, int width, int height);

  // Switches to the pause look (true) or the play look and repaints; nothing when the
  // look is already the one asked for.
  void setPlaying(bool playing);
  bool playing() const { return playing_; }

 private:
  bool playing_ = false;
};
