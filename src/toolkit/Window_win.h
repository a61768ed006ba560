#pragma once
// The base of every window object: binds a window handle to its object, delivers the
// window's messages to the object's handleMessage, and deletes the object once the
// window has been destroyed.
#include <windows.h>

#include <exception>

// The arguments of CreateWindowExW, in its order.
struct WindowCreateParams {
  DWORD exStyle = 0;
  LPCWSTR className = nullptr;  // a name or MAKEINTATOM(atom)
  LPCWSTR title = L"";
  DWORD style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;  // or a child id
  HINSTANCE instance = nullptr;
  LPVOID param = nullptr;
};

class Window {
 public:
  // Registers "DefaultWindow" on first use; throws WindowException if that fails.
  Window();
  // Leaves the window alive. If the object is deleted while still bound (not through
  // the window's destruction), its binding is undone so that the registry never holds
  // a dangling object and the window falls back to the procedure it had before.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The object's message handler. This version is the default handling: the replaced
  // procedure, or DefWindowProcW when there is none.
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Creates the window and binds it. Messages sent during CreateWindowExW (WM_NCCREATE,
  // WM_CREATE, ...) go to the class procedure: objects initialise themselves after
  // this returns. Throws WindowException with the system's text on failure.
  virtual void create(const WindowCreateParams& params);

  // Binds an existing window (a dialog's control, for instance). Null binds nothing.
  void attach(HWND handle);

  HWND handle() const { return handle_; }
  bool isEnabled() const;
  // Enables or disables the window and repaints it, only when the state changes.
  void setEnabled(bool enabled);

  // The object bound to a window, or null.
  static Window* lookup(HWND handle);
  // The atom of "DefaultWindow" (0 before the first Window construction).
  static ATOM defaultClass();
  // The instance "DefaultWindow" is registered under; pass it when creating one.
  static HINSTANCE classInstance();

  // Exceptions must not unwind through the system's window code, so the routing
  // procedure keeps the first one a handler lets escape (the message then gets 0).
  // The message loop calls this after each dispatch to send it on to its handler.
  static void rethrowPendingFailure();
  // Keeps the failure being handled (call inside a catch block) for the loop, as the
  // routing does: for other callbacks the system calls (a dialog procedure) and for
  // handlers that must finish their message before the failure travels on. The first
  // failure kept wins until the loop has taken it.
  static void parkCurrentFailure();

  // A call that dispatches messages in a loop of its own (a load that keeps the
  // interface alive, a modal dialog; playback's ReentrantScope wraps the pair) may see
  // its window destroyed by one of them. Between these two calls the object outlives
  // its window; releaseDeletion() returns true when the
  // window went meanwhile and the object has just been deleted, and the caller then
  // returns at once without touching a member. Holds nest.
  void holdDeletion() { ++deletionHolds_; }
  bool releaseDeletion();
  // True once the window has been destroyed while the object was held.
  bool windowDestroyed() const { return windowDestroyed_; }

 protected:
  LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK route(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  void bind(HWND handle);
  void restorePrevious();

  HWND handle_ = nullptr;
  WNDPROC previous_ = nullptr;
  int deletionHolds_ = 0;
  bool windowDestroyed_ = false;
};
