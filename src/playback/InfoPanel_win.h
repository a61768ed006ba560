#pragma once
// The panel at the top right of the main window that shows the date and time of the
// frame on screen in digit pictures over its background, or dashes when there is none.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "playback/DriveValues.h"
#include "playback/FrameTimeText.h"
#include "playback/IFrameSource.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/PanelWindow_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/ScopedWin_win.h"

class InfoPanel : public PanelWindow {
 public:
  using GlyphSet = std::array<std::unique_ptr<AlphaImage>, frametime::kGlyphCount>;

  // Creates the child window of the owner's window (the owner places it) and loads the
  // pictures. Delete the panel by destroying its window.
  InfoPanel(IPlaybackOwner& owner, const IFrameSource& source);
  ~InfoPanel() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // What the panel shows now: the texts of the frame on screen, or the placeholders.
  frametime::Texts currentTexts() const;

  // The frame's speed and G values under the clock, in the panel's free area; off
  // unless the view menu asks for them.
  void setValuesShown(bool shown);
  bool valuesShown() const { return valuesShown_; }
  drivevalues::Texts currentValues() const;

 private:
  void paint(HDC dc) const;
  void eraseBackground(HDC dc) const;
  void drawMissingInfoNotice(HDC dc) const;
  void drawValues(HDC dc) const;
  // Draws the pictures of `text` side by side and copies the block to (x, y).
  void drawGlyphs(HDC dc, const std::wstring& text, wchar_t separator, const GlyphSet& glyphs,
                  int x, int y) const;

  const IFrameSource& source_;
  AlphaImage background_;
  GlyphSet dateGlyphs_;
  GlyphSet timeGlyphs_;
  ScopedGdiObject valueFont_;
  bool valuesShown_ = false;
};
