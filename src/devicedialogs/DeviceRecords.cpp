#include "devicedialogs/DeviceRecords.h"

#include <cstdint>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

int FromBcd2(uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

void TakeSwitch(const FirmInfo& info, uint16_t key, bool& on) {
  if (info.Contains(key)) on = FromBcd2(info.Find(key)[0]) >= 1;
}

}  // namespace

DeviceSwitches SwitchesFromFirmInfo(const FirmInfo& info, DeviceSwitches shown) {
  TakeSwitch(info, FirmInfo::kKeyBuzzer, shown.buzzerOn);
  TakeSwitch(info, FirmInfo::kKeyRecordMode, shown.standardMode);
  return shown;
}

void SetSwitches(FirmInfo& info, const DeviceSwitches& switches) {
  info.SetBuzzer(switches.buzzerOn ? 1 : 0);
  info.SetRecordMode(switches.standardMode ? 1 : 0);
}

void SetClock(FirmInfo& info, const LocalDateTime& local) {
  // A failed conversion must not fall back to time 0: the recorder would be set to 1970.
  int64_t time = 0;
  if (!ToCalendarTime(local, time)) throw FirmInfoException(LoadText(kTextDateOutOfRange));
  info.SetDateTime(time);
}
