#pragma once
// A static text control drawn by the program: the text at the left edge, vertically
// centred, in the control's own font and the label's colour, greyed out when the
// control is disabled.
#include <windows.h>

#include <string>

#include "toolkit/Window_win.h"

class Label : public Window {
 public:
  // Takes over an existing control (a static control of a dialog, usually). Like every
  // window object it is deleted with its control.
  explicit Label(HWND control);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void setText(std::wstring text) { text_ = std::move(text); }
  void setTextColour(COLORREF colour) { textColour_ = colour; }

 private:
  void paint();

  std::wstring text_;
  COLORREF textColour_ = RGB(0, 0, 0);
};
