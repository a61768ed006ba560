#pragma once
// What the panels around the picture share: how their window is made.
#include <windows.h>

#include <functional>

#include "toolkit/Window_win.h"

class PanelWindow : public Window {
 protected:
  // Creates the panel as a visible child window of `owner` with `extraStyle`, at 0 x 0
  // (the owner's layout places it), then its controls with `createControls`. When the
  // controls cannot be made the window goes again and the failure propagates.
  void createPanel(HWND owner, DWORD extraStyle, const std::function<void()>& createControls);
};
