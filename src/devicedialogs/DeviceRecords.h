#pragma once
// The records the two device dialogs read and write: the recorder's buzzer and
// recording mode, and its clock.
#include "device/FirmInfo.h"
#include "foundation/LocalTime.h"

struct DeviceSwitches {
  bool buzzerOn = true;      // key 0x0306: 1 on, 0 off
  bool standardMode = true;  // key 0x1801: 1 standard, 0 long-time recording

  bool operator==(const DeviceSwitches& o) const {
    return buzzerOn == o.buzzerOn && standardMode == o.standardMode;
  }
};

// The switches the recorder reports in its firmware information, starting from
// `shown`: a key the recorder left out keeps its switch as shown. A BCD value of 1 or
// more counts as on (standard).
DeviceSwitches SwitchesFromFirmInfo(const FirmInfo& info, DeviceSwitches shown);

// Sets the buzzer and recording-mode records.
void SetSwitches(FirmInfo& info, const DeviceSwitches& switches);

// Sets the clock record to the local date and time `local` (seconds are not stored).
// A local time the system cannot convert, such as one skipped when the clocks go
// forward, raises FirmInfoException "日時が有効な範囲にありません。" and sets nothing.
void SetClock(FirmInfo& info, const LocalDateTime& local);
