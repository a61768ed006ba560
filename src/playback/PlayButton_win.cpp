#include "playback/PlayButton_win.h"

namespace {

// Normal, pressed and disabled pictures of each look.
constexpr int kPlayArt[3] = {10015, 10016, 10017};
constexpr int kPauseArt[3] = {10034, 10035, 10033};

void ShowLook(ImageButton& button, const int (&art)[3]) {
  button.SetImages(art[0], art[1], art[2]);
}

}  // namespace

void PlayButton::Create(HWND owner, int x, int y, int width, int height) {
  ImageButton::Create(owner, x, y, width, height);
  ShowLook(*this, kPlayArt);
}

void PlayButton::setPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
  ShowLook(*this, playing ? kPauseArt : kPlayArt);
  InvalidateRect(handle(), nullptr, TRUE);
  UpdateWindow(handle());
}
