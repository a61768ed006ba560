#include "DeviceFileWriter.h"

namespace recsim {
namespace {

uint8_t Bcd2(int v) {
  v = ((v % 100) + 100) % 100;
  return static_cast<uint8_t>((v / 10) << 4 | (v % 10));
}

uint8_t Check(const uint8_t* bytes) {
  uint8_t x = 0;
  for (int i = 0; i < 7; ++i) x ^= bytes[i];
  return x;
}

}  // namespace

DeviceRecord DeviceFileWriter::DateTime(const LocalDateTime& t) {
  DeviceRecord r;
  r.key = kDateTimeKey;
  r.value = {{Bcd2(t.year), Bcd2(t.month), Bcd2(t.day), Bcd2(t.hour), Bcd2(t.minute)}};
  return r;
}

DeviceRecord DeviceFileWriter::Buzzer(int on) {
  DeviceRecord r;
  r.key = kBuzzerKey;
  r.value[0] = Bcd2(on);
  return r;
}

DeviceRecord DeviceFileWriter::RecordMode(int standard) {
  DeviceRecord r;
  r.key = kRecordModeKey;
  r.value[0] = Bcd2(standard);
  return r;
}

std::array<uint8_t, 8> DeviceFileWriter::Encode(const DeviceRecord& record) {
  std::array<uint8_t, 8> bytes{};
  bytes[0] = static_cast<uint8_t>(record.key >> 8);
  bytes[1] = static_cast<uint8_t>(record.key);
  for (int i = 0; i < 5; ++i) bytes[2 + i] = record.value[i];
  bytes[7] = Check(bytes.data());
  return bytes;
}

std::array<uint8_t, 8> DeviceFileWriter::Header(archive::FormatVersion version) {
  std::array<uint8_t, 8> bytes{{0x00, 0x01, version.high, version.low, 0xFF, 0xFF, 0xFF, 0x00}};
  bytes[7] = Check(bytes.data());
  return bytes;
}

std::vector<uint8_t> DeviceFileWriter::SettingsFile(const std::vector<DeviceRecord>& records,
                                                    archive::FormatVersion version) {
  std::vector<uint8_t> out;
  const auto header = Header(version);
  out.insert(out.end(), header.begin(), header.end());
  for (const auto& r : records) {
    const auto bytes = Encode(r);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

std::vector<uint8_t> DeviceFileWriter::FirmInfoFile(const std::array<uint8_t, 16>& lead,
                                                    const std::vector<DeviceRecord>& records,
                                                    archive::FormatVersion version) {
  std::vector<uint8_t> out(lead.begin(), lead.end());
  const auto rest = SettingsFile(records, version);
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

}  // namespace recsim
