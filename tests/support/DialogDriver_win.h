#pragma once
// Answers a modal window (a chooser, a message box) that the test's own thread opens
// and waits in: a second thread finds the window and runs the test's steps on it, as a
// user would, while the first thread sits in the modal loop.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "Wait_win.h"

class DialogDriver {
 public:
  // Starts watching the calling thread's top-level "#32770" windows. `steps` runs on the
  // driver's thread with the first one found; it ends the window itself (posting a
  // button press). If none appears within the deadline, or the window is still there
  // afterwards, the driver presses Cancel on it so the test never hangs.
  explicit DialogDriver(std::function<void(HWND)> steps, DWORD deadlineMs = kPatienceMs);
  // Waits for the driver's thread.
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // False when no window was found in time.
  bool found() const { return found_; }

 private:
  void run(DWORD thread, std::function<void(HWND)> steps, DWORD deadlineMs);

  std::atomic<bool> found_{false};
  std::thread thread_;
};

// The thread's visible top-level dialog window, or null. `except` is skipped.
HWND FindThreadDialog(DWORD thread, HWND except = nullptr);


// The texts of a window and its class.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
