#pragma once
// What the player and the panels around the picture ask of the window that owns them:
// the main window in the viewer, a stand-in in tests. A panel only says which command
// the user gave; carrying it out (and reporting its failures) is the owner's.
#include <windows.h>

#include <cstdint>

class IPlaybackOwner {
 public:
  virtual ~IPlaybackOwner() = default;

  // The window the player and the panels are children of.
  virtual HWND ownerWindow() const = 0;
  // Brings the console panel, the chart and the information panel up to date.
  virtual void refreshPlayback() = 0;
  // Runs a command (foundation/CommandIds.h) as the menu would: the panels' buttons and
  // the player's run-on into the next recording take the menu's road, through the
  // owner's one check of what may run while a recording loads.
  virtual void runCommand(WORD id) = 0;
  // Shows `frame` of the open recording, playing on if it played; refused while a
  // recording loads.
  virtual void seekTo(int32_t frame) = 0;
};
