#include "device/FirmInfo.h"

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

uint8_t FirmRecord::ComputeCheck() const {
  uint8_t x = static_cast<uint8_t>(keyHigh ^ keyLow);
  for (uint8_t b : value) x ^= b;
  return x;
}

std::array<uint8_t, 8> FirmRecord::Bytes() const {
  return {{keyHigh, keyLow, value[0], value[1], value[2], value[3], value[4], check}};
}

FirmRecord FirmRecord::FromBytes(const uint8_t* bytes) {
  FirmRecord r;
  r.keyHigh = bytes[0];
  r.keyLow = bytes[1];
  for (size_t i = 0; i < r.value.size(); ++i) r.value[i] = bytes[2 + i];
  r.check = bytes[7];
  return r;
}

uint8_t ToBcd2(int value) {
  // Negative values are meaningless to the recorder; their magnitude is used.
  const unsigned v = static_cast<unsigned>(value < 0 ? -static_cast<long long>(value) : value) % 100;
  return static_cast<uint8_t>((v / 10) << 4 | (v % 10));
}

bool FirmInfo::Append(const FirmRecord& record) {
  if (count_ >= kMaxRecords) return false;
  records_[static_cast<size_t>(count_++)] = record;
  return true;
}

bool FirmInfo::Contains(uint16_t key) const {
  for (int i = 0; i < count_; ++i)
    if (records_[static_cast<size_t>(i)].Key() == key) return true;
  return false;
}

const FirmInfo::Value& FirmInfo::Find(uint16_t key) const {
  for (int i = 0; i < count_; ++i) {
    const FirmRecord& r = records_[static_cast<size_t>(i)];
    if (r.Key() == key) return r.value;
  }
  throw FirmInfoException(std::wstring());
}

FirmInfo::Value& FirmInfo::FindOrAdd(uint16_t key) {
  for (int i = 0; i < count_; ++i) {
    FirmRecord& r = records_[static_cast<size_t>(i)];
    if (r.Key() == key) return r.value;
  }
  if (count_ >= kMaxRecords) throw FirmInfoException(std::wstring());
  FirmRecord fresh;
  fresh.keyHigh = static_cast<uint8_t>(key >> 8);
  fresh.keyLow = static_cast<uint8_t>(key & 0xFF);
  records_[static_cast<size_t>(count_)] = fresh;
  return records_[static_cast<size_t>(count_++)].value;
}

void FirmInfo::SetDateTime(int64_t time) {
  LocalDateTime local;
  if (!ToLocalDateTime(time, local)) throw FirmInfoException(LoadText(kTextDateOutOfRange));
  Value& v = FindOrAdd(kKeyDateTime);
  v[0] = ToBcd2(local.year % 100);
  v[1] = ToBcd2(local.month);
  v[2] = ToBcd2(local.day);
  v[3] = ToBcd2(local.hour);
  v[4] = ToBcd2(local.minute);
}

void FirmInfo::SetBuzzer(int on) { FindOrAdd(kKeyBuzzer)[0] = ToBcd2(on); }

void FirmInfo::SetRecordMode(int mode) { FindOrAdd(kKeyRecordMode)[0] = ToBcd2(mode); }

void FirmInfo::SetRestoreValues(int value) {
  const unsigned v = static_cast<unsigned>(value < 0 ? -static_cast<long long>(value) : value) % 10000;
  Value& first = FindOrAdd(kKeyRestore1);
  first[0] = ToBcd2(static_cast<int>(v / 100));
  first[1] = ToBcd2(static_cast<int>(v % 100));
  FindOrAdd(kKeyRestore2)[0] = ToBcd2(10);
  FindOrAdd(kKeyRestore3)[0] = ToBcd2(20);
  FindOrAdd(kKeyRestore4)[0] = ToBcd2(4);
}

void FirmInfo::SetRestoreValue2() {
  Value& v = FindOrAdd(kKeyRestore2);
  v[0] = 0x01;
  v[1] = 0x00;
}

void FirmInfo::SetRestoreValue3() {
  Value& v = FindOrAdd(kKeyRestore3);
  v[0] = 0x02;
  v[1] = 0x00;
}

void FirmInfo::SetRestoreValue4() {
  Value& v = FindOrAdd(kKeyRestore4);
  v[0] = 0x00;
  v[1] = 0x40;
}

void FirmInfo::UpdateChecks() {
  for (int i = 0; i < count_; ++i) {
    FirmRecord& r = records_[static_cast<size_t>(i)];
    r.check = r.ComputeCheck();
  }
}
