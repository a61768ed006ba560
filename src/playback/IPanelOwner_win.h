#pragma once
// What the panels around the picture ask of the window that owns them: the main window
// in the viewer, a stand-in in tests. The commands are the owner's to carry out (and to
// report failures of), so a panel only says what the user asked for.
#include <windows.h>

class IPanelOwner {
 public:
  virtual ~IPanelOwner() = default;

  // The window the panels are children of.
  virtual HWND ownerWindow() const = 0;
  // The open command: choose a recording and open it.
  virtual void openFile() = 0;
  // Opens the previous (backward) or next recording of the list.
  virtual void stepRecording(bool backward) = 0;
  // Opens the first recording of the previous (backward) or next date.
  virtual void stepDate(bool backward) = 0;
  // Opens the picture of the thumbnail at `index`.
  virtual void openThumbnail(int index) = 0;
  // Brings every panel up to date with the player.
  virtual void refreshPlayback() = 0;
};
