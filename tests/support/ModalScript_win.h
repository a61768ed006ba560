#pragma once
// Answers a chain of modal windows that the test's own thread opens one after another
// (a dialog, the folder chooser it opens, its message boxes), as a user would: a
// second thread waits for each window in turn and acts on it while the test's thread
// sits in the modal loops.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Wait_win.h"

// Any: the first dialog window of whatever kind, which the step must close.
enum class ModalKind { Dialog, FolderChooser, MessageBox, Any };

struct ModalStep {
  ModalKind kind;
  // Runs on the driver's thread with the window; it presses the window's buttons
  // itself. Message boxes are logged before it runs.
  std::function<void(HWND)> act;
};

// Steps for the usual answers.
ModalStep Press(ModalKind kind, int button);
ModalStep ChooseFolderStep(const std::wstring& folder);
ModalStep OnDialog(std::function<void(HWND)> act);
ModalStep OnAnyDialog(std::function<void(HWND)> act);

class ModalScript {
 public:
  // Starts on the calling thread's windows. Each step waits (up to `stepDeadlineMs`)
  // for an enabled, visible dialog window of its kind, other than the window the step
  // before closed.
  explicit ModalScript(std::vector<ModalStep> steps, DWORD stepDeadlineMs = kPatienceMs);
  // Finishes (see finish()).
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Waits for the driver; whatever is still open afterwards is cancelled, so the test
  // never hangs. Call it once the modal call has returned, before the checks.
  void finish();

  // The steps that ran, and the texts of the message boxes met, in order.
  size_t stepsDone() const { return done_; }
  std::vector<std::wstring> boxes() const;
  // A message box that came where the script expected something else, if any.
  std::wstring unexpected() const;

 private:
  void run(DWORD thread, std::vector<ModalStep> steps, DWORD deadlineMs);
  HWND await(DWORD thread, ModalKind kind, HWND closed, DWORD deadlineMs);
  void log(std::vector<std::wstring>& list, const std::wstring& text);

  mutable std::mutex mutex_;
  std::vector<std::wstring> boxes_;
  std::vector<std::wstring> unexpected_;
  std::atomic<size_t> done_{0};
  std::thread thread_;
};

// The kind of a dialog window: a message box by its text control, the folder chooser
// by its tree.
ModalKind KindOf(HWND window);
// The text of a message box.
std::wstring BoxText(HWND box);
