// The rules under the device dialogs: correcting a typed hour or minute, reading the
// recorder's switches, the clock record, and what a failed write does to the card.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "DeviceTestFiles.h"
#include "SummerTimeZone.h"
#include "device/SettingsFile.h"
#include "devicedialogs/CardSettingsWriter.h"
#include "devicedialogs/DeviceRecords.h"
#include "devicedialogs/FieldCorrection.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

TEST(FieldCorrection, ClampsNumbersAndKeepsTheLastValueForAnythingElse) {
  const struct {
    const wchar_t* text;
    int high;
    int expected;
  } cases[] = {
      {L"7", 23, 7},    {L"25", 23, 23},   {L"-1", 23, 0},   {L"  9", 23, 9},  {L"9 ", 23, 9},
      {L"+4", 23, 4},   {L"7x", 23, 5},    {L"", 23, 5},     {L"   ", 23, 5},  {L"x7", 23, 5},
      {L"60", 59, 59},  {L"59", 59, 59},   {L"0", 59, 0},    {L"1 2", 59, 5},  {L"99999999999999999999", 59, 59},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CorrectedFieldValue(c.text, 0, c.high, 5), c.expected) << testing::PrintToString(std::wstring(c.text));
  }
}

FirmInfo InfoOf(std::initializer_list<Bytes> records) {
  FirmInfo info;
  for (const Bytes& r : records) info.Append(FirmRecord::FromBytes(r.data()));
  return info;
}

TEST(DeviceSwitches, FollowTheRecorderAndKeepWhatItLeavesOut) {
  const DeviceSwitches defaults;
  const DeviceSwitches allOff{false, false};
  const struct {
    const char* name;
    FirmInfo info;
    DeviceSwitches shown;
    DeviceSwitches expected;
  } cases[] = {
      {"buzzer off, standard", InfoOf({Record(0x0306, {0x00}), Record(0x1801, {0x01})}), defaults, {false, true}},
      {"no mode record", InfoOf({Record(0x0306, {0x00})}), defaults, {false, true}},
      {"no records at all", InfoOf({}), allOff, allOff},
      {"BCD ten counts as on", InfoOf({Record(0x0306, {0x10}), Record(0x1801, {0x00})}), allOff, {true, false}},
      {"first of duplicate keys", InfoOf({Record(0x1801, {0x00}), Record(0x1801, {0x01})}), defaults, {true, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(SwitchesFromFirmInfo(c.info, c.shown), c.expected) << c.name;
}

TEST(SetClock, WritesTheLocalMinuteAndRefusesASkippedHour) {
  SummerTimeZone zone;
  LocalDateTime skipped;
  ASSERT_TRUE(FindSkippedHour(2010, skipped)) << "the zone has no summer time here";
  FirmInfo info;
  SetClock(info, LocalDateTime{2001, 1, 1, 0, 0, 0});
  ASSERT_EQ(info.Count(), 1);
  EXPECT_EQ(info.Find(FirmInfo::kKeyDateTime), (FirmInfo::Value{{0x01, 0x01, 0x01, 0x00, 0x00}}));
  info.UpdateChecks();
  EXPECT_EQ(info.Record(0).check, 0x01);

  FirmInfo refused;
  try {
    SetClock(refused, skipped);
    ADD_FAILURE() << "no exception for the skipped hour";
  } catch (const FirmInfoException& e) {
    EXPECT_EQ(e.message, LoadText(kTextDateOutOfRange));
  }
  EXPECT_EQ(refused.Count(), 0) << "nothing set, not 1970";
}

// What becomes of the card's settings file when a dialog writes to it: a failure before
// anything was written leaves it alone.
TEST(WriteCardSettings, RemovesTheCardFileOnlyWhenWritingItFailed) {
  SummerTimeZone zone;
  LocalDateTime skipped;
  ASSERT_TRUE(FindSkippedHour(2010, skipped));
  const Bytes oldClock = Record(0x0101, {0x09, 0x12, 0x31, 0x23, 0x59});
  const Bytes old = Join({kHeader0401, oldClock, Record(0x0306, {0x01})});
  using Fill = std::function<void(FirmInfo&)>;
  const Fill offAndLong = [](FirmInfo& r) { SetSwitches(r, DeviceSwitches{false, false}); };
  const Fill refuses = [](FirmInfo&) { throw FirmInfoException(LoadText(kTextDateOutOfRange)); };
  const Fill skippedHour = [&](FirmInfo& r) { SetClock(r, skipped); };
  const Bytes merged = Join({kHeader0401, Bytes{0x03, 0x06, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x05},
                             Bytes{0x18, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x19}, oldClock});
  const struct {
    const char* name;
    Fill fill;
    bool readOnly;       // the old file is read-only (and hidden where files can be)
    bool settingsFolder; // a folder stands where the settings file belongs
    bool overlongCard;
    CardWriteResult result;
    Bytes after;
  } cases[] = {
      {"written with the old clock kept", offAndLong, false, false, false, CardWriteResult::Written, merged},
      {"read-only file replaced", offAndLong, true, false, false, CardWriteResult::Written, merged},
      {"records refused", refuses, true, false, false, CardWriteResult::NotWritten, old},
      {"skipped local hour", skippedHour, false, false, false, CardWriteResult::NotWritten, old},
      {"card path too long", offAndLong, false, false, true, CardWriteResult::NotWritten, old},
      {"file cannot be opened", offAndLong, false, true, false, CardWriteResult::Failed, {}},
  };
  for (const auto& c : cases) {
    CardDir card;
    const auto settings = card / "KORA.INI";
    if (c.settingsFolder) {
      std::filesystem::create_directory(settings);
    } else {
      WriteBytes(settings, old);
      if (c.readOnly) SetHiddenReadOnly(settings.wstring());
    }
    const std::wstring target = c.overlongCard ? card.wpath() + L"/" + std::wstring(300, L'x') : card.wpath();
    EXPECT_EQ(WriteCardSettings(target, c.fill), c.result) << c.name;
    if (c.settingsFolder) {
      EXPECT_TRUE(std::filesystem::is_directory(settings)) << c.name;
      continue;
    }
    EXPECT_EQ(ReadBytes(settings), c.after) << c.name;
    bool hidden = false;
    bool readOnly = false;
    ASSERT_TRUE(QueryHiddenReadOnly(settings.wstring(), hidden, readOnly)) << c.name;
    EXPECT_EQ(readOnly, c.readOnly || c.result == CardWriteResult::Written) << c.name;
  }
}

}  // namespace
