#pragma once
// The guard around the commands that write to the recorder's card. It warns when
// another running viewer has one of them open, and prevents nothing: two viewers may
// write the same card, the user has been told.
#include <windows.h>

class DialogMutex {
 public:
  // The name every viewer's guard shares.
  static const wchar_t kName[];

  // Takes the name for the time the guard lives. When another holder has it, the
  // warning "another viewer has a settings dialog open" is shown owned by `owner` and
  // the guard holds nothing.
  explicit DialogMutex(HWND owner);
  ~DialogMutex();
  DialogMutex(const DialogMutex&) = delete;
  DialogMutex& operator=(const DialogMutex&) = delete;

  bool held() const { return handle_ != nullptr; }

 private:
  HANDLE handle_ = nullptr;
};
