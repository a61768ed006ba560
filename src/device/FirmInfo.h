#pragma once
// The record list of the recorder's two device files (the settings file it boots with
// and the firmware information file it reports its state in). Each record is a two-byte
// key, five value bytes and a check byte; the value bytes the recorder reads are BCD.
#include <array>
#include <cstddef>
#include <cstdint>

#include "foundation/LocalTime.h"

struct FirmRecord {
  uint8_t keyHigh = 0xFF;
  uint8_t keyLow = 0xFF;
  std::array<uint8_t, 5> value{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  uint8_t check = 0xFF;

  uint16_t Key() const { return static_cast<uint16_t>(keyHigh << 8 | keyLow); }
  // The exclusive-or of the first seven bytes: what `check` must hold.
  uint8_t ComputeCheck() const;
  bool IsChecked() const { return check == ComputeCheck(); }
  // The eight bytes as they stand in a file.
  std::array<uint8_t, 8> Bytes() const;
  static FirmRecord FromBytes(const uint8_t* bytes);
};

class FirmInfo {
 public:
  static constexpr int kMaxRecords = 78;

  static constexpr uint16_t kKeyDateTime = 0x0101;
  static constexpr uint16_t kKeyBuzzer = 0x0306;
  static constexpr uint16_t kKeyRecordMode = 0x1801;
  static constexpr uint16_t kKeyRestore1 = 0x0801;
  static constexpr uint16_t kKeyRestore2 = 0x0802;
  static constexpr uint16_t kKeyRestore3 = 0x0803;
  static constexpr uint16_t kKeyRestore4 = 0x0804;

  using Value = std::array<uint8_t, 5>;

  FirmInfo() = default;
  virtual ~FirmInfo() = default;

  int Count() const { return count_; }
  const FirmRecord& Record(int index) const { return records_.at(static_cast<size_t>(index)); }
  FirmRecord& Record(int index) { return records_.at(static_cast<size_t>(index)); }
  void Clear() { count_ = 0; }

  // Appends a record as it is (duplicates allowed); false when the table is full.
  bool Append(const FirmRecord& record);

  // The value bytes of the first record with `key`; FirmInfoException with empty text
  // when there is none.
  const Value& Find(uint16_t key) const;
  // The value bytes of the record with `key`, appending a fresh record (all 0xFF but the
  // key) when there is none; FirmInfoException with empty text when the table is full.
  Value& FindOrAdd(uint16_t key);
  bool Contains(uint16_t key) const;

  // Year of the century, month, day, hour and minute of the local date and time of
  // `time`; FirmInfoException "日時が有効な範囲にありません。" when it does not convert.
  void SetDateTime(int64_t time);
  void SetBuzzer(int on);
  void SetRecordMode(int mode);
  // Also sets the three companion keys to 10, 20 and 4 (one byte each).
  void SetRestoreValues(int value);
  void SetRestoreValue2();
  void SetRestoreValue3();
  void SetRestoreValue4();

  // Sets every record's check byte from its other seven bytes.
  void UpdateChecks();

 private:
  std::array<FirmRecord, kMaxRecords> records_{};
  int32_t count_ = 0;
};

// Two decimal digits as one BCD byte (the last two digits of `value`).
uint8_t ToBcd2(int value);
