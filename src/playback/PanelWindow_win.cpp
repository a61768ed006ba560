#include "playback/PanelWindow_win.h"

void PanelWindow::createPanel(HWND owner, DWORD extraStyle,
                              const std::function<void()>& createControls) {
  WindowCreateParams p;
  p.exStyle = WS_EX_CONTROLPARENT;
  p.className = MAKEINTATOM(defaultClass());
  p.style = WS_CHILD | WS_VISIBLE | extraStyle;
  p.parent = owner;
  p.instance = classInstance();
  create(p);
  if (!createControls) return;
  try {
    createControls();
  } catch (...) {
    // The failed construction deletes the object; the window's end must not again.
    holdDeletion();
    DestroyWindow(handle());
    throw;
  }
}
