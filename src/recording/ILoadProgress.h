#pragma once
// What a loading archive reports to the window that waits for it: the percentage done,
// and the window whose waiting messages are dispatched between blocks so that the
// interface stays alive during a long load. The video player implements it.

class ILoadProgress {
 public:
  virtual ~ILoadProgress() = default;
  virtual void showProgress(int percent) = 0;
  // The main window (an HWND in the Windows flavour) whose messages the load dispatches;
  // null for none.
  virtual void* progressWindow() const { return nullptr; }
};
