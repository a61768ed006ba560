#pragma once
// The window the gallery shows its widgets on: a plain top-level window with the panel
// surface colour, placed at a fixed spot so every screenshot is made the same way.
#include <windows.h>

#include <string>

class GalleryStage {
 public:
  GalleryStage();
  ~GalleryStage();
  GalleryStage(const GalleryStage&) = delete;
  GalleryStage& operator=(const GalleryStage&) = delete;

  HWND handle() const { return window_; }
  // Destroys every child of the stage (and the objects bound to them) and gives the
  // stage a client area of width x height.
  void reset(int width, int height);
  // Lets queued messages and timers run for `ms` milliseconds.
  void settle(unsigned ms) const;
  // Writes the stage's client area as it is on the screen, popups over it included
  // (tooltips), to a 32-bit BMP file. Throws WindowException on failure.
  void capture(const std::wstring& path) const;

 private:
  HWND window_ = nullptr;
};
