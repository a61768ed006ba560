#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "foundation/BoundedText.h"

TEST(BoundedText, CopyFitsExactlyOrLeavesEmpty) {
  wchar_t buffer[8];
  wmemset(buffer, L'#', 8);
  EXPECT_TRUE(CopyBounded(buffer, 8, L"1234567"));  // 7 units and the terminator
  EXPECT_STREQ(buffer, L"1234567");
  EXPECT_FALSE(CopyBounded(buffer, 8, L"12345678"));
  EXPECT_STREQ(buffer, L"");
  EXPECT_FALSE(CopyBounded(buffer, 0, L""));
  EXPECT_TRUE(CopyBounded(buffer, 1, nullptr));
  EXPECT_STREQ(buffer, L"");

  char bytes[4] = {'#', '#', '#', '#'};
  EXPECT_FALSE(CopyBounded(bytes, 4, "abcd"));
  EXPECT_STREQ(bytes, "");
  EXPECT_TRUE(CopyBounded(bytes, 4, "abc"));
  EXPECT_STREQ(bytes, "abc");
}

TEST(BoundedText, FormatNeverOverrunsItsBuffer) {
  // A guard after the destination catches any write past the given capacity.
  wchar_t buffer[12];
  wmemset(buffer, L'#', 12);
  EXPECT_TRUE(FormatInto(buffer, 10, L"%ls\\%d", L"C:", 12345));
  EXPECT_STREQ(buffer, L"C:\\12345");
  wmemset(buffer, L'#', 12);
  EXPECT_FALSE(FormatInto(buffer, 10, L"%ls\\KORA.INI", L"C:\\long"));
  EXPECT_STREQ(buffer, L"");
  EXPECT_EQ(buffer[10], L'#');
  EXPECT_EQ(buffer[11], L'#');

  EXPECT_EQ(FormatBounded(256, L"Now Loading...%d%%", 40), L"Now Loading...40%");
  EXPECT_EQ(FormatBounded(5, L"%d", 12345), L"");
  EXPECT_EQ(FormatBounded(6, L"%d", 12345), L"12345");
}
