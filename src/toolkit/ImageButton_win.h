#pragma once
// A push button drawn entirely from pictures (normal, pressed, disabled). It looks
// pressed exactly while it holds the mouse capture; the mouse or Enter presses it, and
// while it stays down it repeats OnPress every 100 ms. The owning panel sets the public
// fields right after Create.
#include <windows.h>

#include <memory>

#include "toolkit/AlphaImage.h"
#include "toolkit/ImageButtonListener.h"
#include "toolkit/Window_win.h"

class ImageButton : public Window {
 public:
  // A visible child of `owner` at the given rectangle, all fields at their defaults.
  void Create(HWND owner, int x, int y, int width, int height);
  // Replaces the pictures by the resource pictures with these ids; 0 leaves the pressed
  // or disabled picture absent. A missing resource raises WindowException.
  void SetImages(int normalId, int pressedId, int disabledId);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // True while the button is held down (it holds the mouse capture).
  bool IsDown() const;

  ImageButtonListener* listener = nullptr;  // not owned; may be none
  bool drawEdge = true;                     // raised frame, sunken while down
  HCURSOR cursor = nullptr;                 // not owned; none: the class cursor

 private:
  void paint(HDC dc) const;
  // Chooses what to draw and where; null when nothing is drawn over the frame.
  const AlphaImage* pictureToDraw(bool down, int* yOffset) const;
  void redrawIfLookChanges();
  void redraw();
  LRESULT onButtonDown();
  LRESULT onButtonUp(LPARAM lParam);
  LRESULT onKeyDown(WPARAM key);
  LRESULT onKeyUp(WPARAM key);
  LRESULT onTimer();
  LRESULT onSetCursor(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT dialogCode(LPARAM lParam);
  void notifyPress();
  void notifyClick();

  std::unique_ptr<AlphaImage> normal_;
  std::unique_ptr<AlphaImage> pressed_;
  std::unique_ptr<AlphaImage> disabled_;
};
