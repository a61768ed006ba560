#pragma once
// One system tooltip control serving a window's sliders and buttons: a tracking tip per
// slider that follows its thumb while it is dragged, and plain hover tips for buttons.
// Its window goes away with its owner window.
#include <windows.h>

#include <string>

#include "toolkit/Window_win.h"

class TrackToolTip : public Window {
 public:
  // A topmost tooltip window owned by `owner`. Registers the common control classes it
  // needs first. Throws WindowException when the window cannot be made.
  void Create(HWND owner);

  // Registers `control` as a tracking tool, shown only through ShowTrack.
  void AddTrackTool(HWND control, const std::wstring& text);
  // Registers a tip shown while the mouse rests over `button`.
  void AddButtonTool(const std::wstring& text, HWND button);

  void ShowTrack(HWND control, const std::wstring& text);
  void HideTrack(HWND control);
  void UpdateText(HWND control, const std::wstring& text);
  // Places a shown tracking tip at screen (x, y).
  void MoveTrack(int x, int y);

 private:
  HWND shownTrack_ = nullptr;  // the control whose tracking tip is up, if any
};
