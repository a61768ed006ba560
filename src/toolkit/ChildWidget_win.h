#pragma once
// What the toolkit's own child widgets share: how they are created and the background
// they stand on.
#include <windows.h>

#include "toolkit/Window_win.h"

// A visible "DefaultWindow" child of `owner` at the given rectangle.
inline WindowCreateParams VisibleChildParams(HWND owner, int x, int y, int width, int height) {
  WindowCreateParams p;
  p.className = MAKEINTATOM(Window::defaultClass());
  p.style = WS_CHILD | WS_VISIBLE;
  p.x = x;
  p.y = y;
  p.width = width;
  p.height = height;
  p.parent = owner;
  p.instance = Window::classInstance();
  return p;
}

// Fills the window's client area with the system's button-face colour.
inline void FillWithButtonFace(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}
