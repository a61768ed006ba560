#include "restore/CabinetNames.h"

#include <gtest/gtest.h>

#include "foundation/TextIds.h"

namespace {

TEST(CabinetNames, PlainFileNamesPass) {
  for (const wchar_t* name : {L"SYS.BIN", L"a", L"..x", L"x..y", L"CONSOLE.TXT", L"COM10", L"LPT", L"NULL",
                              L"設定.BIN", L"a b.c", L".hidden"})
    EXPECT_TRUE(IsSafeMemberName(name)) << name;
  EXPECT_TRUE(IsSafeMemberName(std::wstring(255, L'n')));
}

TEST(CabinetNames, AnythingThatCouldLeaveTheFolderOrNameAnotherFileFails) {
  for (const wchar_t* name :
       {L"", L".", L"..", L"...", L"..\\x", L"../x", L"\\x", L"/x", L"C:\\x", L"C:x", L"sub\\x", L"x.", L"x ",
        L"x:stream", L"NUL", L"nul", L"Con.txt", L"AUX.tar.gz", L"PRN ", L"com1", L"LPT9.log", L"COM\u00B9",
        L"CONIN$", L"conout$", L"a?b", L"a*b", L"a|b", L"a\"b", L"a<b", L"a>b", L"a\tb"})
    EXPECT_FALSE(IsSafeMemberName(name)) << name;
  EXPECT_FALSE(IsSafeMemberName(std::wstring(256, L'n')));
  EXPECT_FALSE(IsSafeMemberName(std::wstring(L"a\0b", 3)));
}

TEST(CabinetNames, ErrorCodesMapOntoTheirMessages) {
  EXPECT_EQ(CabinetErrorTextId(0), kTextCabinetNotCabinetError);
  EXPECT_EQ(CabinetErrorTextId(4), kTextCabinetCorrupt);
  EXPECT_EQ(CabinetErrorTextId(11), kTextCabinetUserAbort);
  EXPECT_EQ(CabinetErrorTextId(12), kTextCabinetUndefined);
  EXPECT_EQ(CabinetErrorTextId(-1), kTextCabinetUndefined);
}

}  // namespace
