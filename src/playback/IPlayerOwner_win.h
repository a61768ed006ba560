#pragma once
// What the video player asks of the window that owns it: the main window in the viewer,
// a stand-in in tests and the benchmark. The owner outlives every load it starts: while
// it is marked busy it refuses to close.
#include <windows.h>

#include <string>

#include "foundation/Text.h"
#include "foundation/TextIds.h"

class IPlayerOwner {
 public:
  virtual ~IPlayerOwner() = default;

  // The window the player is a child of; its messages are dispatched while an archive
  // loads, its menu bar is grayed meanwhile, and warnings are owned by it.
  virtual HWND ownerWindow() const = 0;
  // Brings the console panel, the chart and the information panel up to date.
  virtual void refreshPlayback() = 0;
  // Marks the owner busy (commands and closing refused) while an archive loads.
  virtual void setBusy(bool busy) = 0;
  // Enables or disables the volume and brightness panel.
  virtual void setConfigurationEnabled(bool enabled) = 0;
  // A new recording is about to be shown: the chart drops its cached drawing and the
  // information panel repaints.
  virtual void recordingChanged() = 0;
  // The open folder has gone: back to the empty view.
  virtual void resetView() = 0;
  // Opens the previous (backward) or next recording of the list and plays it.
  virtual void stepRecording(bool backward) = 0;

  // A warning box on the owner window. Tests replace it to count the warnings without
  // a box that would wait for a click.
  virtual void showWarning(const std::wstring& text) {
    MessageBoxW(ownerWindow(), text.c_str(), LoadText(kTextWarningCaption).c_str(),
                MB_ICONWARNING);
  }

  // For measurement: the player asked the loader for `slot` (accepted or refused), and
  // painted the picture of `slot`. Nothing by default.
  virtual void frameRequested(int /*slot*/, bool /*accepted*/) {}
  virtual void framePainted(int /*slot*/) {}
};
