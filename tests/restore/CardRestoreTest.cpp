#include "restore/CardRestore.h"

#include <gtest/gtest.h>

#include "DeviceTestFiles.h"
#include "device/SettingsFile.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

const Bytes kDefaultSettings = Join({kHeader0401, Record(0x0306, {0x00}), Record(0x0801, {0x00, 0x45}),
                                     Record(0x0802, {0x01, 0x00}), Record(0x0803, {0x02, 0x00}),
                                     Record(0x0804, {0x00, 0x40})});

TEST(WriteDefaultSettings, ReplacesTheSettingsWithoutMerging) {
  CardDir card;
  const auto path = std::filesystem::path(SettingsFilePath(card.wpath()));
  // An existing file, read-only and hidden, with keys the standard settings lack.
  FirmInfo old;
  old.SetBuzzer(1);
  old.SetRecordMode(1);
  WriteSettingsFile(old, path.wstring(), false);

  WriteDefaultSettings(card.wpath());
  EXPECT_EQ(ReadBytes(path), kDefaultSettings);
  bool hidden = false, readOnly = false;
  ASSERT_TRUE(QueryHiddenReadOnly(path.wstring(), hidden, readOnly));
  EXPECT_TRUE(readOnly);
#ifdef _WIN32
  EXPECT_TRUE(hidden);
#endif
}

TEST(WriteDefaultSettings, FailureDeletesTheFileAndKeepsTheText) {
  CardDir card;
  try {
    WriteDefaultSettings((card / "missing").wstring());
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message, LoadText(kTextSettingsUnwritable));
  }
  try {
    WriteDefaultSettings(std::wstring(300, L'x'));
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message, LoadText(kTextSettingsUnwritable));
  }
  EXPECT_TRUE(std::filesystem::is_empty(card.path()));
}

}  // namespace
