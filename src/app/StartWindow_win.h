#pragma once
// The top-level window start-up shows until the main window with its panels takes its
// place: titled with the application name, and its destruction ends the message loop.
#include "toolkit/Window_win.h"

class StartWindow : public Window {
 public:
  // Creates the window; throws WindowException with the system's text on failure. The
  // object deletes itself with its window.
  static StartWindow* Create();

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  StartWindow() = default;
};
