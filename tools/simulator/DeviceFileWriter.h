#pragma once
// Writes the recorder's two device files as the recorder leaves them on its card: the
// settings file (KORA.INI) and the firmware information file (FIRMINFO.DAT). Both are
// 8-byte records: key high, key low, five value bytes, a check byte that is the
// exclusive-or of the seven bytes before it.
#include <array>
#include <cstdint>
#include <vector>

#include "foundation/LocalTime.h"
#include "recording/ArchiveFormat.h"

namespace recsim {

struct DeviceRecord {
  uint16_t key = 0;
  std::array<uint8_t, 5> value{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};  // unused bytes are 0xFF
};

class DeviceFileWriter {
 public:
  static constexpr uint16_t kDateTimeKey = 0x0101;
  static constexpr uint16_t kBuzzerKey = 0x0306;
  static constexpr uint16_t kRecordModeKey = 0x1801;

  // Records with their values as the device stores them (BCD).
  static DeviceRecord DateTime(const LocalDateTime& t);  // yy mm dd hh mi
  static DeviceRecord Buzzer(int on);                    // 1 on, 0 off
  static DeviceRecord RecordMode(int standard);          // 1 standard, 0 long-time

  // One 8-byte record with its check byte.
  static std::array<uint8_t, 8> Encode(const DeviceRecord& record);
  // The header record: 00 01, the format version, FF FF FF, check byte.
  static std::array<uint8_t, 8> Header(archive::FormatVersion version);

  // A settings file: header record, then the records.
  static std::vector<uint8_t> SettingsFile(const std::vector<DeviceRecord>& records,
                                           archive::FormatVersion version = {});
  // A firmware information file: 16 bytes of its own, header record, then the records.
  static std::vector<uint8_t> FirmInfoFile(const std::array<uint8_t, 16>& lead,
                                           const std::vector<DeviceRecord>& records,
                                           archive::FormatVersion version = {});
};

}  // namespace recsim
