#include "restore/CardRestore.h"

#include "device/DeviceFile.h"
#include "device/FirmInfo.h"
#include "device/SettingsFile.h"
#include "foundation/Exception.h"

void WriteDefaultSettings(const std::wstring& drive) {
  const std::wstring path = SettingsFilePath(drive);
  if (!path.empty()) RemoveDeviceFile(path);
  try {
    FirmInfo records;
    records.SetBuzzer(0);
    records.SetRestoreValues(45);
    records.SetRestoreValue2();
    records.SetRestoreValue3();
    records.SetRestoreValue4();
    WriteSettingsFile(records, path, false);
    VerifySettingsFile(records, path);
  } catch (const Exception& e) {
    if (!path.empty()) RemoveDeviceFile(path);
    throw Exception(e.message);
  }
}
