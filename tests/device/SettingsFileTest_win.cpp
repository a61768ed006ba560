// The settings file against what only Windows does to a file: another program holding
// it open without sharing.
#include <windows.h>

#include <gtest/gtest.h>

#include "DeviceTestFiles.h"
#include "device/SettingsFile.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/ScopedWin_win.h"

namespace {

// A file that another program (an editor, a backup tool) holds open without sharing
// cannot be replaced: the write fails and leaves it exactly as it was.
TEST(SettingsFileHeld, AFileThatCannotBeOpenedStaysAsItWas) {
  CardDir card;
  const std::wstring settings = (card / "KORA.INI").wstring();
  FirmInfo old;
  old.SetBuzzer(0);
  WriteSettingsFile(old, settings, false);
  const Bytes before = ReadBytes(settings);
  {
    const HANDLE raw =
        CreateFileW(settings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    const ScopedKernelHandle held(raw);
    FirmInfo next;
    next.SetBuzzer(1);
    try {
      WriteSettingsFile(next, settings, false);
      ADD_FAILURE() << "a held file was written";
    } catch (const FirmInfoException& e) {
      EXPECT_EQ(e.message, LoadText(kTextSettingsUnwritable));
    }
  }
  EXPECT_EQ(ReadBytes(settings), before);
  bool hidden = false, readOnly = false;
  ASSERT_TRUE(QueryHiddenReadOnly(settings, hidden, readOnly));
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(readOnly);
}

}  // namespace
