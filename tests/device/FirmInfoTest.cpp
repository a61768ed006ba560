#include "device/FirmInfo.h"

#include <gtest/gtest.h>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

std::array<uint8_t, 8> Checked(FirmInfo& info, uint16_t key) {
  info.UpdateChecks();
  for (int i = 0; i < info.Count(); ++i)
    if (info.Record(i).Key() == key) return info.Record(i).Bytes();
  ADD_FAILURE() << "no record " << key;
  return {};
}

using R = std::array<uint8_t, 8>;

TEST(FirmInfo, SettersWriteTheirBytesAndCheck) {
  FirmInfo info;
  info.SetBuzzer(1);
  // 03^06^01^FF^FF^FF^FF = 04: the exclusive-or rule, which the reader enforces too.
  EXPECT_EQ(Checked(info, 0x0306), (R{0x03, 0x06, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x04}));
  info.SetBuzzer(0);
  EXPECT_EQ(Checked(info, 0x0306)[2], 0x00);
  info.SetRecordMode(1);
  EXPECT_EQ(Checked(info, 0x1801), (R{0x18, 0x01, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x18 ^ 0x01 ^ 0x01}));
  EXPECT_EQ(info.Count(), 2) << "setting a key again reuses its record";
  // Two-digit setters keep the last two decimal digits.
  info.SetRecordMode(123);
  EXPECT_EQ(info.Find(0x1801)[0], 0x23);
}

TEST(FirmInfo, RestoreValuesAndTheirCompanions) {
  FirmInfo info;
  info.SetRestoreValues(45);
  EXPECT_EQ(info.Find(0x0801), (FirmInfo::Value{0x00, 0x45, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Find(0x0802), (FirmInfo::Value{0x10, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Find(0x0803), (FirmInfo::Value{0x20, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Find(0x0804), (FirmInfo::Value{0x04, 0xFF, 0xFF, 0xFF, 0xFF}));
  info.SetRestoreValue2();
  info.SetRestoreValue3();
  info.SetRestoreValue4();
  EXPECT_EQ(info.Find(0x0802), (FirmInfo::Value{0x01, 0x00, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Find(0x0803), (FirmInfo::Value{0x02, 0x00, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Find(0x0804), (FirmInfo::Value{0x00, 0x40, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(info.Count(), 4);
  info.SetRestoreValues(123456);
  EXPECT_EQ(info.Find(0x0801)[0], 0x34);
  EXPECT_EQ(info.Find(0x0801)[1], 0x56);
}

TEST(FirmInfo, DateTimeDropsSecondsAndCentury) {
  int64_t t = 0;
  ASSERT_TRUE(ToCalendarTime(LocalDateTime{2010, 3, 5, 14, 7, 59}, t));
  FirmInfo info;
  info.SetDateTime(t);
  EXPECT_EQ(info.Find(0x0101), (FirmInfo::Value{0x10, 0x03, 0x05, 0x14, 0x07}));
  ASSERT_TRUE(ToCalendarTime(LocalDateTime{1999, 12, 31, 23, 59, 0}, t));
  info.SetDateTime(t);
  EXPECT_EQ(info.Find(0x0101), (FirmInfo::Value{0x99, 0x12, 0x31, 0x23, 0x59}));
  EXPECT_EQ(info.Count(), 1);
}

TEST(FirmInfo, UnconvertibleTimeIsRefusedWithItsMessage) {
  FirmInfo info;
  try {
    info.SetDateTime(INT64_MAX);
    FAIL() << "no exception";
  } catch (const FirmInfoException& e) {
    EXPECT_EQ(e.message, LoadText(kTextDateOutOfRange));
    EXPECT_FALSE(e.message.empty());
  }
  EXPECT_EQ(info.Count(), 0) << "nothing added for a refused time";
}

TEST(FirmInfo, FindAndTableLimit) {
  FirmInfo info;
  try {
    info.Find(0x0306);
    FAIL();
  } catch (const FirmInfoException& e) {
    EXPECT_TRUE(e.message.empty());
  }
  for (int k = 0; k < FirmInfo::kMaxRecords; ++k) info.FindOrAdd(static_cast<uint16_t>(0x2000 + k))[0] = 1;
  EXPECT_EQ(info.Count(), 78);
  EXPECT_NO_THROW(info.FindOrAdd(0x2000)) << "an existing key is still found in a full table";
  try {
    info.FindOrAdd(0x0306);
    FAIL() << "a 79th key was accepted";
  } catch (const FirmInfoException& e) {
    EXPECT_TRUE(e.message.empty());
  }
  EXPECT_EQ(info.Count(), 78);
  FirmRecord extra;
  EXPECT_FALSE(info.Append(extra));
}

}  // namespace
