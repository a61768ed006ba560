#include <gtest/gtest.h>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"

TEST(Text, TableEntriesComeBackExactly) {
  EXPECT_EQ(LoadText(kTextAppName), L"Pathscope");
  EXPECT_EQ(LoadText(kTextWarningCaption), L"警告");
  EXPECT_EQ(LoadText(kTextFormatVersion), L"0401");
  // Line breaks inside a text are CR LF, not escapes left in the text.
  EXPECT_EQ(LoadText(kTextKeepOldSettings),
            L"以前の感度設定と音量設定を残しますか？\r\n\r\n「はい」の場合、以前の設定内容を残します。"
            L"\r\n「いいえ」の場合、標準設定に戻します。");
  EXPECT_EQ(LoadText(kTextWindowsError), L"Windowsのエラーです。エラーコード:%d");
  EXPECT_FALSE(LoadText(kTextSupportAddress).empty());
  EXPECT_EQ(LoadText(kTextThumbnailLimit), L"画像は600枚までしか表示できません。");
}

TEST(Text, MissingEntriesAreEmpty) {
  EXPECT_EQ(LoadText(5000), L"");
  EXPECT_EQ(LoadText(5067), L"");
  EXPECT_EQ(LoadText(65535), L"");
  EXPECT_EQ(LoadTextAnsi(5000), L"");
}

TEST(Text, ByteStringLoaderGivesTheSameTexts) {
  for (unsigned id : {5001u, 5005u, 5049u, 5062u, 5070u, 5510u, 5519u})
    EXPECT_EQ(LoadTextAnsi(id), LoadText(id)) << id;
}

TEST(Text, ConversionsUseTheJapaneseCodePage) {
  EXPECT_EQ(ToNarrow(L"警告"), std::string("\x8c\x78\x8d\x90"));
  EXPECT_EQ(ToWide(std::string("\x8c\x78\x8d\x90")), L"警告");
  const std::wstring mixed = L"C:\\録画\\0001_001.DAT";
  EXPECT_EQ(ToWide(ToNarrow(mixed)), mixed);
}

TEST(Text, EmptyConversionsStayEmpty) {
  EXPECT_EQ(ToWide(std::string()), L"");
  EXPECT_EQ(ToNarrow(std::wstring()), "");
}

TEST(Text, EmbeddedTerminatorsAndUnmappableCharactersDoNotCorrupt) {
  // A character code page 932 lacks still yields a byte string of sane length.
  const std::string narrow = ToNarrow(L"a\u00e9b");
  EXPECT_EQ(narrow.size(), 3u);
  EXPECT_EQ(narrow.front(), 'a');
  EXPECT_EQ(narrow.back(), 'b');
}



TEST(Utf8, RoundTripsAndRejectsMalformedInput) {
  const std::wstring text = L"警告 a\u00e9 \U0001F697";
  EXPECT_EQ(ToUtf8(text), "\xe8\xad\xa6\xe5\x91\x8a a\xc3\xa9 \xf0\x9f\x9a\x97");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(FromUtf8("a\xe8\xad"), L"a\uFFFD\uFFFD");        // cut short
  EXPECT_EQ(FromUtf8("\xc0\xaf"), L"\uFFFD\uFFFD");          // overlong
  EXPECT_EQ(FromUtf8("\xed\xa0\x80"), L"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(FromUtf8(""), L"");
}
