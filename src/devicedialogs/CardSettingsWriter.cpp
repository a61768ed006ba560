#include "devicedialogs/CardSettingsWriter.h"

#include "device/DeviceFile.h"
#include "device/SettingsFile.h"
#include "foundation/Exception.h"

CardWriteResult WriteCardSettings(const std::wstring& card, const std::function<void(FirmInfo&)>& fill) {
  const std::wstring path = SettingsFilePath(card);
  if (path.empty()) return CardWriteResult::NotWritten;
  FirmInfo records;
  try {
    fill(records);
  } catch (const Exception&) {
    return CardWriteResult::NotWritten;
  }
  try {
    WriteSettingsFile(records, path, true);
    VerifySettingsFile(records, path);
  } catch (const Exception&) {
    RemoveDeviceFile(path);
    return CardWriteResult::Failed;
  }
  return CardWriteResult::Written;
}
