#pragma once
// The base of the modal dialogs: runs a dialog template of the executable modally and
// routes its messages to the object's DialogProc. Enter and Escape close a dialog that
// does not handle IDOK and IDCANCEL itself with 1 and 2.
#include <windows.h>

#include <string>

class Dialog {
 public:
  explicit Dialog(WORD templateId) : templateId_(templateId) {}
  explicit Dialog(std::wstring templateName) : templateName_(std::move(templateName)) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the modal loop owned by `owner` and returns the value the dialog ended with.
  // When the loop cannot start, the Windows error is shown at once in a warning box
  // owned by `owner` and -1 is returned.
  INT_PTR ShowModal(HWND owner);

  // Handles one message of the dialog; the result is the dialog procedure's. This
  // version ends the dialog on IDOK and IDCANCEL, claims every WM_COMMAND and no other
  // message. Derived dialogs fall back to it.
  virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Moves `window`, keeping its size and z-order, so that its window rectangle is
  // centred on `reference`'s (halves rounded towards zero). A window larger than the
  // reference ends up left of and above the reference's origin.
  static void CenterOver(HWND window, HWND reference);

  // The dialog object of a dialog window that is open, or null.
  static Dialog* lookup(HWND window);

  HWND handle() const { return window_; }
  HWND owner() const { return owner_; }

 private:
  static INT_PTR CALLBACK route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR deliver(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam);
  LPCWSTR templateResource() const;

  std::wstring templateName_;
  WORD templateId_ = 0;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;
};
