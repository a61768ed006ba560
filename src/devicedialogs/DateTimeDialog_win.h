#pragma once
// The dialog that sets the recorder's clock: the user picks the date, hour and minute
// at which the recorder will next be switched on, and the dialog writes them into the
// settings file of the card the user chooses.
#include <windows.h>

#include <string>

#include "toolkit/Dialog_win.h"

class DateTimeDialog : public Dialog {
 public:
  // `cardPath`: the card folder offered first in the chooser.
  explicit DateTimeDialog(std::wstring cardPath);

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The card folder chosen last; the main window keeps it when the dialog ends with OK.
  const std::wstring& cardPath() const { return cardPath_; }

 private:
  void initialise();
  void showNow();
  void correctField(HWND edit, HWND spin, int& last);
  void ok();
  bool readPosition(HWND spin, unsigned outOfRangeId, int& value);

  HWND picker_ = nullptr;
  HWND hourSpin_ = nullptr;
  HWND minuteSpin_ = nullptr;
  HWND hourEdit_ = nullptr;
  HWND minuteEdit_ = nullptr;
  int lastHour_ = 0;
  int lastMinute_ = 0;
  std::wstring cardPath_;
};
