#pragma once
// What the panels around the picture share: how their window is made.
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "toolkit/Window_win.h"

// A new control object made with its Create(args...). Once its window exists the window
// deletes it; when the window cannot be made it is deleted here.
template <typename Control, typename... Args>
Control* MakeControl(Args&&... args) {
  auto control = std::make_unique<Control>();
  control->Create(std::forward<Args>(args)...);
  return control.release();
}

// Gives a child window its control id, so that GetDlgItem finds it; a button's id is
// the command it gives.
inline void SetControlId(const Window& control, int id) {
  SetWindowLongPtrW(control.handle(), GWLP_ID, id);
}

class PanelWindow : public Window {
 protected:
  // Creates the panel as a visible child window of `owner` with `extraStyle`, at 0 x 0
  // (the owner's layout places it), then its controls with `createControls`. When the
  // controls cannot be made the window goes again and the failure propagates.
  void createPanel(HWND owner, DWORD extraStyle, const std::function<void()>& createControls);
};
