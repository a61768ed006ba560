#pragma once
// Drives a running Pathscope.exe from outside, as its user would: finds its windows,
// sends the messages that the mouse and the keyboard produce, answers its boxes and its
// file chooser, and takes screenshots. It calls nothing inside the program.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Wait_win.h"

class ViewerProcess {
 public:
  // Starts `exe` in `folder` (its current directory at launch).
  ViewerProcess(const std::wstring& exe, const std::wstring& folder);
  // Ends the program if it is still running.
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  // The visible main window, waited for; null when it did not come in time.
  HWND mainWindow(DWORD timeoutMs = kPatienceMs);
  // A visible dialog window of the program other than the main window (a box, a chooser,
  // the about box), waited for; null when none came in time.
  HWND dialog(DWORD timeoutMs = kPatienceMs) const;
  // The text of the message box that is open, waited for; empty when none came.
  std::wstring boxText(DWORD timeoutMs = kPatienceMs) const;
  // Presses a button of the open dialog (IDOK, IDCANCEL); false when none was open.
  bool press(int button, DWORD timeoutMs = kPatienceMs) const;
  // Chooses a menu command of the main window.
  void menu(WORD command);
  // Types `path` into the open file chooser (opening or saving) and presses its button.
  bool choose(const std::wstring& path, DWORD timeoutMs = kPatienceMs) const;
  // The file name the open chooser proposes, waited for; empty when none came.
  std::wstring proposedName(DWORD timeoutMs = kPatienceMs) const;
  // Opens a recording through the File menu and the chooser.
  bool open(const std::wstring& path);
  // Clicks the left button at a point of a window's client area (its centre for -1, -1).
  static void click(HWND window, int x = -1, int y = -1);

  // ---- The keyboard ----
  // Presses and releases `key` with Shift and Ctrl held as asked, through the system's
  // input queue (so that the viewer's own key state sees the modifiers), the main window
  // made the foreground window first.
  void key(WORD virtualKey, bool shift = false, bool control = false);
  // Types `c` as the keyboard layout makes it: its key, with Shift when the layout needs it.
  void type(wchar_t c);

  std::wstring title() const;
  // The console: the main window's child that holds the position slider; the slider;
  // and the console's readout, its window text ("#00146 / 00560 ..." and the speed line).
  HWND console();
  HWND slider();
  std::wstring readout();
  // The frame the readout names ("#00146 / ..." is 145); -1 when it shows none.
  static int32_t FrameOf(const std::wstring& readout);
  // The child of the main window whose client-relative rectangle starts at (x, y) with
  // the given size, or null.
  HWND childAt(int x, int y, int width, int height) const { return ChildAt(main_, x, y, width, height); }
  // The same for any parent; a width or height of 0 matches any.
  static HWND ChildAt(HWND parent, int x, int y, int width = 0, int height = 0);
  // Waits for the end of the program; its exit code, or -1 when it did not end in time.
  int exitCode(DWORD timeoutMs = kPatienceMs) const;
  DWORD id() const { return id_; }
  // The program's current directory, read from its process parameters; empty when they
  // cannot be read.
  std::wstring currentDirectory() const;

  // ---- Dragging with the mouse, and the close box handled at once ----
  // The left button pressed, moved with the button held, and released at points of a
  // window's client area: the messages a drag produces. The pointer itself is put there
  // first, so that the system's own mouse messages agree with them.
  static void pressMouse(HWND window, POINT at);
  static void dragMouse(HWND window, POINT at);
  static void releaseMouse(HWND window, POINT at);
  // A whole drag through the system's input queue, as the mouse makes it: the messages
  // then carry the button's real state, which the system's own moves agree with.
  static void dragWithMouse(HWND window, POINT from, POINT to);
  // What the close box sends, handed over and waited for until the viewer has handled
  // it; false when it did not return in time (a box it opened holds it).
  bool sendCloseBox(DWORD timeoutMs = 3000);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HWND main_ = nullptr;
};

// The whole screen, or the part of it under `window`, as a 24-bit BMP file; false when
// it could not be written.
bool SaveScreenshot(const std::wstring& path, HWND window = nullptr);

// The client area of a window as the screen shows it, rows top-down, 4 bytes a pixel.
std::vector<unsigned char> CaptureFromScreen(HWND window);
