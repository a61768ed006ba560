#include <gtest/gtest.h>

#include <memory>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

TEST(Exception, CopyOwnsItsText) {
  std::unique_ptr<VideoArchiveException> original(new VideoArchiveException(LoadText(kTextDataUnreadable)));
  VideoArchiveException copy(*original);
  original.reset();
  EXPECT_EQ(copy.message, L"該当データを読み込めません。");
}

TEST(Exception, SubclassesAreCaughtAsTheBase) {
  try {
    throw FirmInfoException(LoadText(kTextSettingsUnreadable));
  } catch (const Exception& e) {
    EXPECT_EQ(e.message, L"設定ファイルを読み込めません。");
  }
  EXPECT_EQ(ImageException().message, L"");
  EXPECT_EQ(ImageException(static_cast<const wchar_t*>(nullptr)).message, L"");
  EXPECT_EQ(ImageException(L"x").message, L"x");
  EXPECT_EQ(Exception().message, L"");
}

TEST(Exception, UnknownWindowsErrorCodesUseTheFallbackTextSigned) {
  // Codes no system component has a text for; the top bit set prints negative.
  EXPECT_EQ(WindowException(0xE0001234u).message, L"Windowsのエラーです。エラーコード:-536866252");
  EXPECT_EQ(WindowException(0x2000ABCDu).message, L"Windowsのエラーです。エラーコード:536914893");
}

TEST(Exception, DataMissingIsOutsideTheFamily) {
  EXPECT_FALSE((std::is_base_of<Exception, DataMissingException>::value));
  EXPECT_TRUE(std::is_empty<DataMissingException>::value);
}
