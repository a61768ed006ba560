#pragma once
// A plain child window that holds a panel's place in the main window until the panel
// itself is built: it takes the layout like the panel and paints the button face.
#include "toolkit/Window_win.h"

class PanelStandIn : public Window {
 public:
  // Creates the visible child of `parent` at size 0 (the layout places it). Delete it by
  // destroying the window.
  explicit PanelStandIn(HWND parent);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
