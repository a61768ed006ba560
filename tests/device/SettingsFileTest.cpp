#include "device/SettingsFile.h"

#include <gtest/gtest.h>

#include "DeviceTestFiles.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

std::wstring Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const FirmInfoException& e) {
    return e.message;
  }
  return L"(no exception)";
}

class SettingsFileTest : public ::testing::Test {
 protected:
  CardDir card;
  std::filesystem::path settings = card / "KORA.INI";
  std::filesystem::path firm = card / "FIRMINFO.DAT";
};

TEST(SettingsCodec, HeaderAndPaths) {
  const auto h = HeaderRecord(DeviceFormatVersion{});
  EXPECT_EQ(Bytes(h.begin(), h.end()), kHeader0401);
  EXPECT_TRUE(IsValidHeader(h.data(), 8, DeviceFormatVersion{}));
  EXPECT_FALSE(IsValidHeader(h.data(), 7, DeviceFormatVersion{}));
  EXPECT_EQ(CurrentFormatVersion().high, 0x04);
  EXPECT_EQ(CurrentFormatVersion().low, 0x01);
#ifdef _WIN32
  EXPECT_EQ(SettingsFilePath(L"E:"), L"E:\\KORA.INI");
  EXPECT_EQ(FirmInfoFilePath(L"E:"), L"E:\\FIRMINFO.DAT");
  // The folder chooser gives a drive root with its backslash.
  EXPECT_EQ(SettingsFilePath(L"E:\\"), L"E:\\KORA.INI");
  EXPECT_EQ(FirmInfoFilePath(L"E:\\"), L"E:\\FIRMINFO.DAT");
#else
  EXPECT_EQ(SettingsFilePath(L"/media/card/"), L"/media/card/KORA.INI");
#endif
  EXPECT_EQ(SettingsFilePath(std::wstring(255, L'a')), L"") << "a path beyond 260 units is refused";
  EXPECT_EQ(SettingsFilePath(L""), L"") << "no card is not the root folder";
  EXPECT_EQ(FirmInfoFilePath(L""), L"");
}

TEST_F(SettingsFileTest, ReadsCheckedRecordsAndSkipsOthers) {
  WriteBytes(settings, Join({kHeader0401, Record(0x0306, {0x01}), Record(0x0306, {0x01}, 0x05),
                             Record(0x0101, {0x10, 0x03, 0x05, 0x14, 0x07}), Record(0x0306, {0x00}),
                             Bytes{0x18, 0x01, 0x01}}));
  FirmInfo info;
  info.SetBuzzer(1);  // the reader starts from an empty list
  ReadSettingsFile(info, settings.wstring());
  ASSERT_EQ(info.Count(), 3) << "bad check byte and trailing partial record skipped";
  EXPECT_EQ(info.Record(0).Key(), 0x0306);
  EXPECT_EQ(info.Record(0).check, 0x04);
  EXPECT_EQ(info.Record(1).Key(), 0x0101);
  EXPECT_EQ(info.Record(2).Key(), 0x0306) << "duplicates from the file are kept in order";
  EXPECT_EQ(info.Find(0x0306)[0], 0x01) << "Find gives the first";
}

TEST_F(SettingsFileTest, KeepsAtMost78Records) {
  Bytes image = kHeader0401;
  for (int k = 0; k < 100; ++k) {
    const Bytes r = Record(static_cast<uint16_t>(0x4000 + k), {static_cast<uint8_t>(k)});
    image.insert(image.end(), r.begin(), r.end());
  }
  WriteBytes(settings, image);
  FirmInfo info;
  ReadSettingsFile(info, settings.wstring());
  ASSERT_EQ(info.Count(), 78);
  EXPECT_EQ(info.Record(77).Key(), 0x4000 + 77);
}

TEST_F(SettingsFileTest, BadHeadersAreUnreadable) {
  const std::wstring unreadable = LoadText(kTextSettingsUnreadable);
  ASSERT_FALSE(unreadable.empty());
  FirmInfo info;
  EXPECT_EQ(Message([&] { ReadSettingsFile(info, settings.wstring()); }), unreadable) << "missing file";
  const std::vector<Bytes> bad = {
      {0x00, 0x01, 0x04, 0x02, 0xFF, 0xFF, 0xFF, 0xF8},  // another version, correctly checked
      {0x00, 0x01, 0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFA},  // wrong check byte
      {0x01, 0x01, 0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFB},  // byte 0 not zero
      {0x00, 0x01, 0x04, 0x01, 0xFF, 0xFF, 0xFF},        // short
      {},
  };
  for (const Bytes& header : bad) {
    WriteBytes(settings, Join({header, Record(0x0306, {0x01})}));
    EXPECT_EQ(Message([&] { ReadSettingsFile(info, settings.wstring()); }), unreadable)
        << "header of " << header.size() << " bytes";
  }
}

TEST_F(SettingsFileTest, FirmwareFileHasSixteenBytesBeforeItsHeader) {
  const Bytes prefix(16, 0x5A);
  FirmInfo info;
  WriteBytes(firm, Join({prefix, kHeader0401, Record(0x1801, {0x00})}));
  ReadFirmInfoFile(info, firm.wstring());
  ASSERT_EQ(info.Count(), 1);
  EXPECT_EQ(info.Find(0x1801)[0], 0x00);

  WriteBytes(firm, Join({prefix, kHeader0401}));
  ReadFirmInfoFile(info, firm.wstring());
  EXPECT_EQ(info.Count(), 0);

  const Bytes shortFile = Join({prefix, Bytes(kHeader0401.begin(), kHeader0401.end() - 1)});
  WriteBytes(firm, shortFile);  // 23 bytes
  EXPECT_EQ(Message([&] { ReadFirmInfoFile(info, firm.wstring()); }), LoadText(kTextSettingsUnreadable));
  WriteBytes(firm, Bytes(prefix.begin(), prefix.end() - 1));
  EXPECT_EQ(Message([&] { ReadFirmInfoFile(info, firm.wstring()); }), LoadText(kTextSettingsUnreadable));
  // A settings file image is not a firmware file: its header is not at 16.
  WriteBytes(firm, Join({kHeader0401, Record(0x0306, {1}), Record(0x0306, {1})}));
  EXPECT_EQ(Message([&] { ReadFirmInfoFile(info, firm.wstring()); }), LoadText(kTextSettingsUnreadable));
}

TEST_F(SettingsFileTest, WriteWithoutMergeGivesExactImage) {
  FirmInfo info;
  info.SetBuzzer(1);
  WriteSettingsFile(info, settings.wstring(), false);
  EXPECT_EQ(ReadBytes(settings), Join({kHeader0401, Bytes{0x03, 0x06, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x04}}));
  EXPECT_NO_THROW(VerifySettingsFile(info, settings.wstring()));
}

TEST_F(SettingsFileTest, MergePutsNewKeysFirstThenOldOnes) {
  WriteBytes(settings, Join({kHeader0401, Record(0x0101, {0x08, 0x06, 0x01, 0x12, 0x00}),
                             Record(0x0306, {0x00}), Record(0x0801, {0x00, 0x45})}));
  FirmInfo info;
  info.SetBuzzer(1);
  WriteSettingsFile(info, settings.wstring(), true);
  EXPECT_EQ(ReadBytes(settings), Join({kHeader0401, Record(0x0306, {0x01}),
                                       Record(0x0101, {0x08, 0x06, 0x01, 0x12, 0x00}),
                                       Record(0x0801, {0x00, 0x45})}));
  EXPECT_EQ(info.Count(), 3) << "the merged records are the caller's, for verifying";
  EXPECT_NO_THROW(VerifySettingsFile(info, settings.wstring()));
}

TEST_F(SettingsFileTest, MergeSkipsUnreadableFileAndStopsWhenFull) {
  WriteBytes(settings, Bytes{'g', 'a', 'r', 'b', 'a', 'g', 'e', '!', 0, 0});
  FirmInfo info;
  info.SetBuzzer(1);
  WriteSettingsFile(info, settings.wstring(), true);
  EXPECT_EQ(ReadBytes(settings), Join({kHeader0401, Record(0x0306, {0x01})}));

  Bytes image = kHeader0401;
  for (int k = 0; k < 78; ++k) {
    const Bytes r = Record(static_cast<uint16_t>(0x4000 + k), {0x11});
    image.insert(image.end(), r.begin(), r.end());
  }
  SetNormalAttributes(settings.wstring());
  WriteBytes(settings, image);
  FirmInfo fresh;
  fresh.SetBuzzer(1);
  fresh.SetRecordMode(0);
  WriteSettingsFile(fresh, settings.wstring(), true);
  EXPECT_EQ(fresh.Count(), 78);
  EXPECT_EQ(ReadBytes(settings).size(), 8u * 79);
  EXPECT_EQ(fresh.Record(77).Key(), 0x4000 + 75);
}

TEST_F(SettingsFileTest, ReadOnlyHiddenFileIsReplacedAndMarkedAgain) {
  FirmInfo info;
  info.SetBuzzer(0);
  WriteSettingsFile(info, settings.wstring(), false);
  bool hidden = false, readOnly = false;
  ASSERT_TRUE(QueryHiddenReadOnly(settings.wstring(), hidden, readOnly));
  EXPECT_TRUE(readOnly);
#ifdef _WIN32
  EXPECT_TRUE(hidden);
#endif
  FirmInfo next;
  next.SetBuzzer(1);
  WriteSettingsFile(next, settings.wstring(), true);
  EXPECT_EQ(ReadBytes(settings), Join({kHeader0401, Record(0x0306, {0x01})}));
  ASSERT_TRUE(QueryHiddenReadOnly(settings.wstring(), hidden, readOnly));
  EXPECT_TRUE(readOnly);
#ifdef _WIN32
  EXPECT_TRUE(hidden);
#endif
}

TEST_F(SettingsFileTest, UnwritablePlaceFailsWithItsMessage) {
  FirmInfo info;
  info.SetBuzzer(1);
  const auto inMissingFolder = card / "no-such-folder" / "KORA.INI";
  EXPECT_EQ(Message([&] { WriteSettingsFile(info, inMissingFolder.wstring(), true); }),
            LoadText(kTextSettingsUnwritable));
  EXPECT_EQ(Message([&] { WriteSettingsFile(info, L"", false); }), LoadText(kTextSettingsUnwritable));
  // A folder in the file's place cannot be replaced.
  std::filesystem::create_directory(settings);
  EXPECT_EQ(Message([&] { WriteSettingsFile(info, settings.wstring(), false); }),
            LoadText(kTextSettingsUnwritable));
  EXPECT_TRUE(std::filesystem::is_directory(settings));
}

TEST_F(SettingsFileTest, VerifyNoticesEveryDifference) {
  FirmInfo info;
  info.SetBuzzer(1);
  info.SetRecordMode(1);
  WriteSettingsFile(info, settings.wstring(), false);
  EXPECT_NO_THROW(VerifySettingsFile(info, settings.wstring()));

  FirmInfo other = info;
  other.SetRecordMode(0);
  other.UpdateChecks();
  EXPECT_EQ(Message([&] { VerifySettingsFile(other, settings.wstring()); }), LoadText(kTextSomeFilesFailed));
  FirmInfo more = info;
  more.SetBuzzer(1);
  more.SetRestoreValue4();
  more.UpdateChecks();
  EXPECT_EQ(Message([&] { VerifySettingsFile(more, settings.wstring()); }), LoadText(kTextSomeFilesFailed));
  FirmInfo stale = info;
  stale.Record(0).check ^= 0xFF;  // a check byte not refreshed is a difference too
  EXPECT_EQ(Message([&] { VerifySettingsFile(stale, settings.wstring()); }), LoadText(kTextSomeFilesFailed));
  SetNormalAttributes(settings.wstring());
  RemoveDeviceFile(settings.wstring());
  EXPECT_EQ(Message([&] { VerifySettingsFile(info, settings.wstring()); }), LoadText(kTextSettingsUnreadable));
}

}  // namespace
