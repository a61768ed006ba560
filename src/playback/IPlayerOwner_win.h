#pragma once
// What the video player asks of the window that owns it beyond the panels' questions:
// the main window in the viewer, a stand-in in tests and the benchmark. The owner
// outlives every load it starts: while it is marked busy it refuses to close.
#include <windows.h>

#include <string>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/IPlaybackOwner_win.h"

class IPlayerOwner : public IPlaybackOwner {
 public:
  // While an archive loads the owner is busy: it refuses commands and closing, and
  // shows the user so (the player knows nothing of how).
  virtual void setBusy(bool busy) = 0;
  // A new recording is about to be shown: the chart drops its cached drawing and the
  // information panel repaints.
  virtual void recordingChanged() = 0;
  // The open folder has gone: back to the empty view.
  virtual void resetView() = 0;

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
