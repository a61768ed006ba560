#pragma once
// A label that looks and acts like a hyperlink: underlined, blue, the hand cursor, and
// an action run when the mouse button is released over it.
#include <windows.h>

#include <functional>

#include "toolkit/Label_win.h"
#include "toolkit/ScopedWin_win.h"

class LinkLabel : public Label {
 public:
  // Takes over `control`: its font gets underlined, its window text becomes the label's
  // text. `onClick` runs on every button release; an Exception of it is shown as a
  // warning owned by the label's top-level window, any other failure goes to the message
  // loop (Window::rethrowPendingFailure); none reaches the system's code.
  LinkLabel(HWND control, std::function<void()> onClick);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void underlineFont();
  void takeText();
  void click();

  ScopedGdiObject linkFont_;
  std::function<void()> onClick_;
};
