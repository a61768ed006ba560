#include "devicedialogs/DeviceCommands_win.h"

#include "devicedialogs/CardRestoreCommand_win.h"
#include "devicedialogs/DateTimeDialog_win.h"
#include "devicedialogs/DialogMutex_win.h"
#include "devicedialogs/GThresholdDialog09_win.h"

template <class DialogType>
void DeviceCommands::RunDialog(HWND owner) {
  const DialogMutex guard(owner);
  DialogType dialog(cardPath_);
  if (dialog.ShowModal(owner) == IDOK) cardPath_ = dialog.cardPath();
}

void DeviceCommands::RunSettings(HWND owner) { RunDialog<GThresholdDialog09>(owner); }

void DeviceCommands::RunDateTime(HWND owner) { RunDialog<DateTimeDialog>(owner); }

void DeviceCommands::RunRestore(HWND owner) {
  const DialogMutex guard(owner);
  RunCardRestore(owner, cardPath_);
}

