#pragma once
// The clip export's questions: the marked range (offered only when there is one) or the
// whole recording, and whether the time band is burned into the pictures. Each choice
// shows its frames as the console's readout numbers them.
#include <windows.h>

#include <optional>

#include "playback/MarkedRange.h"
#include "toolkit/Dialog_win.h"

class ExportDialog : public Dialog {
 public:
  // `marked`: the marked frames, when a range is marked; `count`: the recording's frames.
  ExportDialog(std::optional<MarkedRange::Bounds> marked, int32_t count);

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // What the user chose, once the dialog has ended with IDOK.
  MarkedRange::Bounds frames() const { return useMarked_ ? *marked_ : whole_; }
  bool overlay() const { return overlay_; }

 private:
  void initialise();
  void takeChoices();

  std::optional<MarkedRange::Bounds> marked_;
  MarkedRange::Bounds whole_;
  bool useMarked_ = false;
  bool overlay_ = false;
};
