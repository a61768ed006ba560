#include "devicedialogs/GThresholdDialog09_win.h"

#include "device/SettingsFile.h"
#include "devicedialogs/CardDialogFlow_win.h"
#include "devicedialogs/DeviceDialogIds.h"
#include "foundation/Exception.h"
#include "foundation/Report_win.h"
#include "foundation/TextIds.h"

namespace {

void Check(HWND radio, bool on) { SendMessageW(radio, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

bool Checked(HWND radio) { return SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

GThresholdDialog09::GThresholdDialog09(std::wstring cardPath)
    : Dialog(IDD_DEVICE_SETTINGS), cardPath_(std::move(cardPath)) {}

INT_PTR GThresholdDialog09::DialogProc(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    const HWND window = handle();
    buzzerOn_ = GetDlgItem(window, IDC_DEVICE_BUZZER_ON);
    buzzerOff_ = GetDlgItem(window, IDC_DEVICE_BUZZER_OFF);
    standardMode_ = GetDlgItem(window, IDC_DEVICE_MODE_STANDARD);
    longMode_ = GetDlgItem(window, IDC_DEVICE_MODE_LONG);
    start();
    CenterOver(window, owner());
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wParam);
  if (id == IDOK) {
    ok();
  } else if (id == IDCANCEL) {
    EndDialog(handle(), IDCANCEL);
  } else {
    return FALSE;
  }
  return TRUE;
}

void GThresholdDialog09::show(const DeviceSwitches& switches) {
  Check(buzzerOn_, switches.buzzerOn);
  Check(buzzerOff_, !switches.buzzerOn);
  Check(standardMode_, switches.standardMode);
  Check(longMode_, !switches.standardMode);
}

DeviceSwitches GThresholdDialog09::shown() const {
  DeviceSwitches switches;
  switches.buzzerOn = Checked(buzzerOn_);
  switches.standardMode = Checked(standardMode_);
  return switches;
}

// Shows the recorder's present values. Without a card, or when its firmware
// information cannot be read, the defaults stay and OK asks for the card again.
void GThresholdDialog09::start() {
  show(DeviceSwitches());
  if (!AskForCard(handle(), kTextChooseCardForSettings, cardPath_)) return;
  FirmInfo info;
  try {
    ReadFirmInfoFile(info, FirmInfoFilePath(cardPath_));
  } catch (const Exception& e) {
    ReportWarning(handle(), e);
    return;
  }
  show(SwitchesFromFirmInfo(info, shown()));
  cardChosen_ = true;
}

void GThresholdDialog09::ok() {
  if (!cardChosen_ && !AskForCard(handle(), kTextChooseCardForSettings, cardPath_)) return;
  if (!ConfirmWrite(handle(), kTextConfirmWriteSettings)) return;
  const DeviceSwitches switches = shown();
  const CardWriteResult result =
      WriteCardSettings(cardPath_, [&](FirmInfo& records) { SetSwitches(records, switches); });
  ReportCardWrite(handle(), result, kTextSettingsWritten);
  // Also after a failure: the card chosen stays the main window's choice.
  EndDialog(handle(), IDOK);
}
