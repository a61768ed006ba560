#pragma once
// A clip export on a worker thread, shown in a small modeless window owned by the main
// window: a bar, the frames written, and a Cancel button. The owner stays responsive
// (playback may go on). The worker loads its own copy of the recording, since the
// player's archive belongs to the player's loader. When the export has ended the window
// posts `doneMessage` to its owner (wParam: the ExportProgress::Outcome) with the text
// to show, and destroys itself.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "export/ClipExport.h"
#include "toolkit/Window_win.h"

class ExportProgress : public Window {
 public:
  enum Outcome : WPARAM { kWritten = 1, kCancelled = 2, kFailed = 3 };

  // Creates the window and starts the export; the object goes with its window. The text
  // posted with `doneMessage` (lParam) is a new std::wstring the owner deletes.
  static ExportProgress* Start(HWND owner, UINT doneMessage, const ClipRequest& request);

  ~ExportProgress() override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Control ids of the window's children (tests find them with GetDlgItem).
  static constexpr int kBarId = 101;
  static constexpr int kCountId = 102;
  static constexpr int kCancelId = IDCANCEL;

 private:
  class Reporter;
  ExportProgress(HWND owner, UINT doneMessage, const ClipRequest& request);
  void createChildren();
  void run();
  void finish(Outcome outcome);

  HWND owner_;
  UINT doneMessage_;
  ClipRequest request_;
  std::atomic<bool> cancel_{false};
  std::wstring failure_;
  std::thread worker_;
  HWND bar_ = nullptr;
  HWND count_ = nullptr;
};
