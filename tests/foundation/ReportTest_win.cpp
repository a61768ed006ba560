#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/Exception.h"

TEST(WindowException, KnownCodesCarryTheSystemTextWithItsLineBreak) {
  const std::wstring text = WindowException(ERROR_FILE_NOT_FOUND).message;
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
  EXPECT_EQ(text.find(L"Windowsのエラーです"), std::wstring::npos);
}
