#pragma once
// The three commands on the recorder's card: the device settings dialog, the date/time
// dialog and the memory-card restore. Each runs under the guard that warns of another
// viewer doing the same. The card folder chosen in one command is offered first in the
// next. Which of the application's command ids runs which is the application's to say.
#include <windows.h>

#include <string>

class DeviceCommands {
 public:
  explicit DeviceCommands(std::wstring cardPath = std::wstring()) : cardPath_(std::move(cardPath)) {}

  // The dialogs hand their card folder back only when they end with OK.
  void RunSettings(HWND owner);
  void RunDateTime(HWND owner);
  // The restore keeps whatever folder was chosen in it.
  void RunRestore(HWND owner);

  const std::wstring& cardPath() const { return cardPath_; }

 private:
  template <class DialogType>
  void RunDialog(HWND owner);

  std::wstring cardPath_;
};
