#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "app/FailureGuard.h"
#include "app/FormatVersionText.h"
#include "app/PathFolder.h"
#include "app/SystemCheck.h"
#include "app/VersionText.h"
#include "foundation/Exception.h"
#include "foundation/TextIds.h"

namespace {

struct FormatCase {
  const wchar_t* text;
  int high;
  int low;
};

TEST(FormatVersionFromText, ReadsTheEntryAsStrtolWouldInBase16) {
  const FormatCase cases[] = {
      {L"0401", 4, 1},        // the shipped entry
      {L"0402", 4, 2},
      {L"", 4, 1},            // nothing to read: the defaults
      {L"zz", 4, 1},
      {L"12345", 4, 1},       // above 0xFFFF: the defaults
      {L"FFFF", 0xFF, 0xFF},  // the largest accepted
      {L"10000", 4, 1},
      {L"  0302", 3, 2},      // leading white space
      {L"\t\n0x0503", 5, 3},  // and a prefix
      {L"0X1a2B", 0x1A, 0x2B},
      {L"+0201", 2, 1},
      {L"0x", 0, 0},          // "0" read, the "x" stops it
      {L"0xg1", 0, 0},
      {L"0401 trailing", 4, 1},
      {L"04z1", 0, 4},        // stops at the first non-digit: 0x04
      {L"-1", 0xFF, 0xFF},    // negative values pass the signed comparison
      {L"-0x100", 0xFF, 0x00},
      {L"FFFFFFFFFFFF", 4, 1},    // saturates at the largest long: the defaults
      {L"-FFFFFFFFFFFF", 0, 0},   // saturates at the smallest long: low bits zero
      {L"- 1", 4, 1},             // no digit right after the sign
  };
  for (const FormatCase& c : cases) {
    const archive::FormatVersion v = FormatVersionFromText(c.text);
    EXPECT_EQ(v.high, c.high) << "text \"" << testing::PrintToString(std::wstring(c.text)) << "\"";
    EXPECT_EQ(v.low, c.low) << "text \"" << testing::PrintToString(std::wstring(c.text)) << "\"";
  }
}

TEST(VersionTextFromFileVersion, KeepsDigitsAndTheFirstTwoCommas) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"1, 0, 0, 0", L"1.0.0"},
      {L"2, 10, 3, 7", L"2.10.3"},
      {L"1.0.0.0", L"1000"},  // dots are no separators
      {L"1,2", L"1.2"},
      {L"", L""},
      {L"v1 , 2 ,3,,9", L"1.2.3"},
      {L",,,5", L".."},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionTextFromFileVersion(c.first), c.second) << c.first;
}

TEST(FolderPart, CutsAfterTheLastSeparator) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"E:\\DCIM\\0123_456.DAT", L"E:\\DCIM\\"},
      {L"E:\\0123_456.DAT", L"E:\\"},
      {L"E:\\DCIM\\", L"E:\\DCIM\\"},
      {L"Z:/tmp/card/a.dat", L"Z:/tmp/card/"},
      {L"a.dat", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderPart(c.first), c.second) << c.first;
}

TEST(SystemCheckNotice, WarnsBelowXpAndWhenUnidentified) {
  struct Case {
    bool identified;
    unsigned major, minor, notice;
  };
  const Case cases[] = {
      {false, 0, 0, kTextUnknownSystem},  {false, 6, 1, kTextUnknownSystem},
      {true, 4, 10, kTextUnsupportedSystem}, {true, 5, 0, kTextUnsupportedSystem},
      {true, 5, 1, 0}, {true, 5, 2, 0}, {true, 6, 0, 0}, {true, 10, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SystemCheckNotice(c.identified, c.major, c.minor), c.notice)
        << c.identified << " " << c.major << "." << c.minor;
  }
}

// What the outermost handler saw: the exception's text, or that it had none.
struct Seen {
  int calls = 0;
  bool fromFamily = false;
  std::wstring text;
};

TEST(RunReportingFailures, NormalEndKeepsItsCodeAndAFailureEndsWithOne) {
  struct Case {
    const char* name;
    std::function<int()> body;
    int exitCode;
    int reports;
    bool fromFamily;
    std::wstring text;
  };
  const Case cases[] = {
      {"quit", [] { return 0; }, 0, 0, false, L""},
      {"quit code kept", [] { return 7; }, 7, 0, false, L""},
      {"family", []() -> int { throw SystemException(L"COMを初期化できません。"); }, 1, 1, true,
       L"COMを初期化できません。"},
      {"empty text", []() -> int { throw Exception(); }, 1, 1, true, L""},
      {"outside the family", []() -> int { throw std::bad_alloc(); }, 1, 1, false, L""},
      {"anything", []() -> int { throw 42; }, 1, 1, false, L""},
  };
  for (const Case& c : cases) {
    Seen seen;
    const int code = RunReportingFailures(c.body, [&](const Exception* e) {
      ++seen.calls;
      seen.fromFamily = e != nullptr;
      if (e) seen.text = e->message;
    });
    EXPECT_EQ(code, c.exitCode) << c.name;
    EXPECT_EQ(seen.calls, c.reports) << c.name;
    EXPECT_EQ(seen.fromFamily, c.fromFamily) << c.name;
    EXPECT_EQ(seen.text, c.text) << c.name;
  }
}

}  // namespace
