#pragma once
// The device settings dialog: the recorder's buzzer on or off and its recording mode
// (standard or long-time). It opens with the values the recorder reports on the card
// and writes the chosen ones into the card's settings file.
#include <windows.h>

#include <string>

#include "devicedialogs/DeviceRecords.h"
#include "toolkit/Dialog_win.h"

class GThresholdDialog09 : public Dialog {
 public:
  // `cardPath`: the card folder offered first in the chooser.
  explicit GThresholdDialog09(std::wstring cardPath);

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The card folder chosen last; the main window keeps it when the dialog ends with OK.
  const std::wstring& cardPath() const { return cardPath_; }

 private:
  void start();
  void ok();
  void show(const DeviceSwitches& switches);
  DeviceSwitches shown() const;

  HWND buzzerOn_ = nullptr;
  HWND buzzerOff_ = nullptr;
  HWND standardMode_ = nullptr;
  HWND longMode_ = nullptr;
  // Set once the card was chosen and its firmware information read at the start.
  bool cardChosen_ = false;
  std::wstring cardPath_;
};
