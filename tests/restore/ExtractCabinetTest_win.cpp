#include "restore/ExtractCabinet.h"

#include <gtest/gtest.h>

#include <cstring>

#include "CabinetImage.h"
#include "CabinetTestSupport_win.h"
#include "FciCabinet_win.h"

namespace {

// Text-like bytes that compress, from a fixed seed.
Bytes SampleData(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"drive ", "record ", "card ", "G ", "0401 ", "\r\n", "speed ", "帰路 "};
  Bytes out;
  uint32_t x = seed;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    const char* w = kWords[(x >> 16) % 8];
    out.insert(out.end(), w, w + std::strlen(w));
    if ((x >> 8) % 7 == 0) out.push_back(static_cast<uint8_t>(x >> 24));
  }
  out.resize(size);
  return out;
}

class ExtractCabinetTest : public ::testing::Test {
 protected:
  CardDir work;  // cabinets live here
  CardDir card;  // the destination

  std::wstring Cabinet(const std::string& name, const Bytes& image) {
    WriteBytes(work / name, image);
    return (work / name).wstring();
  }
  std::wstring Cabinet(const std::string& name, const std::vector<CabinetMember>& members) {
    return Cabinet(name, StoredCabinet(members));
  }
};

TEST_F(ExtractCabinetTest, StoredMembersArriveExactDatedHiddenAndReadOnly) {
  const uint16_t date = DosDate(2008, 6, 1), time = DosTime(12, 0, 0);
  std::vector<CabinetMember> members(3);
  members[0].name = "SYS.BIN";
  members[0].data = SampleData(70000, 1);  // spans three data blocks
  members[1].name = "EMPTY.DAT";
  members[2].name = "FW.TXT";
  members[2].data = SampleData(100, 2);
  for (auto& m : members) {
    m.date = date;
    m.time = time;
    m.attribs = 0x01;  // the cabinet's own attributes are not used
  }
  ExtractCabinet(Cabinet("stored.cab", members), card.wpath());

  EXPECT_EQ(Listing(card.path()), (std::set<std::wstring>{L"SYS.BIN", L"EMPTY.DAT", L"FW.TXT"}));
  SYSTEMTIME wanted{2008, 6, 0, 1, 12, 0, 0, 0};
  FILETIME local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(&wanted, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  for (const auto& m : members) {
    const auto path = card / m.name;
    EXPECT_EQ(ReadBytes(path), m.data) << m.name;
    EXPECT_EQ(Attributes(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY})
        << m.name;
    HANDLE h = CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME created{}, written{};
    GetFileTime(h, &created, nullptr, &written);
    CloseHandle(h);
    EXPECT_EQ(CompareFileTime(&written, &utc), 0) << m.name;
    EXPECT_EQ(CompareFileTime(&created, &utc), 0) << m.name;
  }
}

TEST_F(ExtractCabinetTest, CabinetsOfTheSystemCabinetMakerInEveryMethod) {
  std::vector<CabinetMember> members(2);
  members[0].name = "PROGRAM.BIN";
  members[0].data = SampleData(150000, 3);
  members[1].name = "README.TXT";
  members[1].data = SampleData(3000, 4);
  for (auto compression : {FciCompression::None, FciCompression::MsZip, FciCompression::Lzx}) {
    const auto cab = work / ("fci" + std::to_string(static_cast<int>(compression)) + ".cab");
    ASSERT_TRUE(MakeFciCabinet(cab.wstring(), members, compression));
    // A destination given with a trailing backslash gets exactly one between.
    ExtractCabinet(cab.wstring(), card.wpath() + L"\\");
    EXPECT_EQ(ReadBytes(card / "PROGRAM.BIN"), members[0].data);
    EXPECT_EQ(ReadBytes(card / "README.TXT"), members[1].data);
    EXPECT_EQ(Listing(card.path()).size(), 2u);
  }
}

#ifdef PATHSCOPE_TEST_GCAB_CABINET
TEST_F(ExtractCabinetTest, MsZipCabinetMadeByGcab) {
  ExtractCabinet(FromBuildMachine(PATHSCOPE_TEST_GCAB_CABINET), card.wpath());
  const std::string sources = PATHSCOPE_TEST_GCAB_SOURCES;  // ';'-separated
  size_t count = 0;
  for (size_t at = 0; at <= sources.size();) {
    const size_t end = std::min(sources.find(';', at), sources.size());
    const std::string source = sources.substr(at, end - at);
    const std::string name = source.substr(source.rfind('/') + 1);
    EXPECT_EQ(ReadBytes(card / name), ReadBytes(FromBuildMachine(source))) << name;
    ++count;
    at = end + 1;
  }
  EXPECT_EQ(Listing(card.path()).size(), count);
}
#endif

TEST_F(ExtractCabinetTest, RunningTwiceReplacesTheFirstRunsFiles) {
  std::vector<CabinetMember> members(1);
  members[0].name = "SYS.BIN";
  members[0].data = SampleData(5000, 5);
  WriteBytes(card / "OTHER.DAT", Bytes{1, 2, 3});
  ExtractCabinet(Cabinet("a.cab", members), card.wpath());
  members[0].data = SampleData(4000, 6);
  ExtractCabinet(Cabinet("b.cab", members), card.wpath());
  EXPECT_EQ(ReadBytes(card / "SYS.BIN"), members[0].data);
  EXPECT_TRUE(Attributes(card / "SYS.BIN") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReadBytes(card / "OTHER.DAT"), (Bytes{1, 2, 3})) << "files outside the cabinet are left alone";
}

TEST_F(ExtractCabinetTest, HostileMemberNamesFailTheWholeCabinet) {
  // Extraction goes into card\dest, so that "..\x" would land in card itself.
  const auto dest = card / "dest";
  std::filesystem::create_directory(dest);
  WriteBytes(dest / "KEEP.DAT", Bytes{9});
  const std::vector<std::string> hostile = {
      "..\\x", "C:\\x", "\\x", "sub\\x", "sub/x", "/x", "..", ".", "x.", "x ", "a:b", "NUL", "con.txt", "COM1",
      "LPT9.log", "a?b", "a*b", "a|b", "a\"b", "a<b", std::string("a\x01" "b"), ""};
  for (const std::string& name : hostile) {
    std::vector<CabinetMember> members(2);
    members[0].name = "GOOD.BIN";  // made first, so it has to be removed again
    members[0].data = SampleData(1000, 7);
    members[1].name = name;
    members[1].data = Bytes{'x'};
    EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("hostile.cab", members), dest.wstring()); }),
              LoadText(kTextCabinetCorrupt))
        << "name [" << name << "]";
    EXPECT_EQ(Listing(dest), std::set<std::wstring>{L"KEEP.DAT"}) << "name [" << name << "]";
    EXPECT_EQ(Listing(card.path()), (std::set<std::wstring>{L"dest", L"dest\\KEEP.DAT"})) << "name [" << name << "]";
  }
  EXPECT_EQ(Attributes("C:\\x"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Attributes(card.path().root_path() / "x"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ExtractCabinetTest, MemberNamesInUtf8AreDecodedNotTrusted) {
  std::vector<CabinetMember> members(1);
  members[0].name = "\xE8\xA8\xAD\xE5\xAE\x9A.BIN";  // 設定.BIN
  members[0].attribs = 0x80;                         // the name is UTF-8
  members[0].data = SampleData(10, 8);
  ExtractCabinet(Cabinet("utf8.cab", members), card.wpath());
  EXPECT_EQ(ReadBytes(card / L"\u8A2D\u5B9A.BIN"), members[0].data);

  members[0].name = "..\xEF\xBC\xBC" "x";  // a fullwidth backslash is an ordinary character
  ExtractCabinet(Cabinet("utf8b.cab", members), card.wpath());
  EXPECT_EQ(ReadBytes(card / L"..\uFF3Cx"), members[0].data);

  members[0].name = "..\\x";
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("utf8c.cab", members), card.wpath()); }),
            LoadText(kTextCabinetCorrupt));
  members[0].name = "\xC0\xAF";  // an overlong '/', not valid UTF-8
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("utf8d.cab", members), card.wpath()); }),
            LoadText(kTextCabinetCorrupt));
}

TEST_F(ExtractCabinetTest, TruncatedCabinetsLeaveNothingBehind) {
  std::vector<CabinetMember> members(2);
  members[0].name = "A.BIN";
  members[0].data = SampleData(60000, 9);
  members[1].name = "B.BIN";
  members[1].data = SampleData(90000, 10);
  const auto full = work / "full.cab";
  ASSERT_TRUE(MakeFciCabinet(full.wstring(), members, FciCompression::MsZip));
  const Bytes image = ReadBytes(full);
  const Bytes stored = StoredCabinet(members);
  for (const Bytes* source : {&image, &stored}) {
    for (size_t cut : {size_t{0}, size_t{20}, size_t{40}, size_t{90}, source->size() / 3, source->size() / 2,
                       source->size() - 100, source->size() - 1}) {
      const Bytes part(source->begin(), source->begin() + static_cast<std::ptrdiff_t>(cut));
      const std::wstring message = IOFailure([&] { ExtractCabinet(Cabinet("cut.cab", part), card.wpath()); });
      EXPECT_TRUE(IsCabinetMessage(message)) << "cut at " << cut << ": " << ToNarrow(message);
      EXPECT_TRUE(Listing(card.path()).empty()) << "cut at " << cut;
    }
  }
}

TEST_F(ExtractCabinetTest, AFailedExtractionLeavesTheCardsFilesAsTheyWere) {
  // A card restored before: its device files are read-only and hidden.
  std::vector<CabinetMember> members(2);
  members[0].name = "A.BIN";
  members[0].data = SampleData(20000, 20);
  members[1].name = "B.BIN";
  members[1].data = SampleData(20000, 21);
  ExtractCabinet(Cabinet("old.cab", members), card.wpath());
  const auto before = Listing(card.path());

  std::vector<CabinetMember> newer = members;
  newer[0].data = SampleData(30000, 22);
  newer[1].data = SampleData(30000, 23);
  const Bytes image = StoredCabinet(newer);
  const Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(image.size() - 5000));
  EXPECT_TRUE(IsCabinetMessage(IOFailure([&] { ExtractCabinet(Cabinet("cut.cab", cut), card.wpath()); })));
  newer[1].name = "..\\B.BIN";
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("bad.cab", newer), card.wpath()); }), LoadText(kTextCabinetCorrupt));

  EXPECT_EQ(Listing(card.path()), before);
  EXPECT_EQ(ReadBytes(card / "A.BIN"), members[0].data);
  EXPECT_EQ(ReadBytes(card / "B.BIN"), members[1].data);
  EXPECT_EQ(Attributes(card / "A.BIN") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY});
}

// The move into place fails at one member: a file another program holds open without
// letting it be renamed or deleted, or a folder where a new member should go. Members
// placed before it have replaced card files by then; every one has to come back.
TEST_F(ExtractCabinetTest, AMoveThatFailsPutsEveryOldFileBackWithItsAttributes) {
  constexpr DWORD kHR = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
  struct OldFile {
    const char* name;
    DWORD attributes;
  };
  const OldFile old[] = {{"A.BIN", kHR}, {"B.BIN", FILE_ATTRIBUTE_HIDDEN}, {"C.BIN", FILE_ATTRIBUTE_READONLY},
                         {"D.BIN", FILE_ATTRIBUTE_NORMAL}};
  std::vector<CabinetMember> newer;
  for (const char* name : {"A.BIN", "N.BIN", "B.BIN", "C.BIN", "D.BIN"}) {  // N.BIN is new to the card
    newer.emplace_back();
    newer.back().name = name;
    newer.back().data = SampleData(40000, static_cast<uint32_t>(newer.size()) + 30);
  }
  const auto cab = work / "newer.cab";
  ASSERT_TRUE(MakeFciCabinet(cab.wstring(), newer, FciCompression::MsZip));

  struct Blocker {
    const char* name;
    bool folder;  // else an old file held open
  };
  for (const Blocker blocker : {Blocker{"A.BIN", false}, Blocker{"C.BIN", false}, Blocker{"D.BIN", false},
                                Blocker{"N.BIN", true}}) {
    SCOPED_TRACE(blocker.name);
    std::set<std::wstring> expected;
    for (size_t i = 0; i < std::size(old); ++i) {
      const auto path = card / old[i].name;
      SetNormalAttributes(path.wstring());
      WriteBytes(path, SampleData(1000 + i, static_cast<uint32_t>(i)));
      ASSERT_TRUE(SetFileAttributesW(path.wstring().c_str(), old[i].attributes & ~FILE_ATTRIBUTE_READONLY));
      ASSERT_TRUE(SetFileAttributesW(path.wstring().c_str(), old[i].attributes));
      expected.insert(path.filename().wstring());
    }
    HANDLE held = INVALID_HANDLE_VALUE;
    if (blocker.folder) {
      std::filesystem::create_directory(card / blocker.name);
      expected.insert(L"N.BIN");
    } else {
      held = CreateFileW((card / blocker.name).wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }

    EXPECT_EQ(IOFailure([&] { ExtractCabinet(cab.wstring(), card.wpath()); }), LoadText(kTextCabinetTargetFile));
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

    EXPECT_EQ(Listing(card.path()), expected) << "no member and no staging folder may stay";
    for (size_t i = 0; i < std::size(old); ++i) {
      const auto path = card / old[i].name;
      EXPECT_EQ(ReadBytes(path), SampleData(1000 + i, static_cast<uint32_t>(i))) << old[i].name;
      EXPECT_EQ(Attributes(path) & (kHR | FILE_ATTRIBUTE_DIRECTORY), old[i].attributes & kHR) << old[i].name;
    }
    if (blocker.folder) std::filesystem::remove(card / blocker.name);
  }

  // Nothing in the way: the same cabinet replaces them all.
  ExtractCabinet(cab.wstring(), card.wpath());
  EXPECT_EQ(Listing(card.path()).size(), newer.size());
  for (const auto& m : newer) {
    EXPECT_EQ(ReadBytes(card / m.name), m.data) << m.name;
    EXPECT_EQ(Attributes(card / m.name) & kHR, kHR) << m.name;
  }
}

TEST_F(ExtractCabinetTest, AnnouncedSizeBeyondTheDataIsIncomplete) {
  std::vector<CabinetMember> members(2);
  members[0].name = "A.BIN";
  members[0].data = SampleData(500, 11);
  members[1].name = "B.BIN";
  members[1].data = SampleData(500, 12);
  members[1].announcedSize = 5000;
  const std::wstring message = IOFailure([&] { ExtractCabinet(Cabinet("lie.cab", members), card.wpath()); });
  EXPECT_TRUE(IsCabinetMessage(message)) << ToNarrow(message);
  EXPECT_TRUE(Listing(card.path()).empty());
}

TEST_F(ExtractCabinetTest, AMemberNamedTwiceIsAnIncompleteExtraction) {
  // The second copy replaces the first, so the first one's size is no longer on the card.
  std::vector<CabinetMember> members(2);
  members[0].name = "SYS.BIN";
  members[0].data = SampleData(100, 15);
  members[1].name = "sys.bin";
  members[1].data = SampleData(200, 16);
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("twice.cab", members), card.wpath()); }),
            LoadText(kTextSomeExtractsFailed));
  EXPECT_TRUE(Listing(card.path()).empty());
}

TEST_F(ExtractCabinetTest, ACabinetContinuedElsewhereIsRefusedNotAwaited) {
  // The decompressor asks for the next cabinet of the set; answering "carry on" makes
  // it ask again for ever. The extraction has to end, with nothing left.
  std::vector<CabinetMember> members(2);
  members[0].name = "A.BIN";
  members[0].data = SampleData(300, 17);
  members[1].name = "B.BIN";
  members[1].data = SampleData(300, 18);
  for (const char* next : {"part2.cab", "first.cab"}) {  // missing, and the first one again
    EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("first.cab", FirstOfSpanningSet(members, next)), card.wpath()); }),
              LoadText(kTextCabinetNotFound))
        << next;
    EXPECT_TRUE(Listing(card.path()).empty());
  }
}

TEST_F(ExtractCabinetTest, CabinetPathForms) {
  std::vector<CabinetMember> members(1);
  members[0].name = "A.BIN";
  members[0].data = SampleData(10, 19);
  Cabinet("plain.cab", members);
  // A bare name is the current folder's file; a trailing backslash is not part of the name.
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(work.wpath().c_str()));
  const std::wstring bare = IOFailure([&] { ExtractCabinet(L"plain.cab", card.wpath()); });
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(bare, L"(no IOException)");
  EXPECT_EQ(ReadBytes(card / "A.BIN"), members[0].data);
  ExtractCabinet((work / "plain.cab").wstring() + L"\\", card.wpath());
  EXPECT_EQ(ReadBytes(card / "A.BIN"), members[0].data);
  EXPECT_EQ(IOFailure([&] { ExtractCabinet((work / std::wstring(300, L'c')).wstring(), card.wpath()); }),
            LoadText(kTextCabinetNotFound));
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(L"", card.wpath()); }), LoadText(kTextCabinetNotFound));
}

TEST_F(ExtractCabinetTest, FailuresMapToTheirMessages) {
  EXPECT_EQ(IOFailure([&] { ExtractCabinet((work / "missing.cab").wstring(), card.wpath()); }),
            LoadText(kTextCabinetNotFound));
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("text.cab", SampleData(4000, 13)), card.wpath()); }),
            LoadText(kTextCabinetNotACabinet));
  std::vector<CabinetMember> members(1);
  members[0].name = "A.BIN";
  members[0].data = SampleData(10, 14);
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("ok.cab", members), (card / "no" / "such").wstring()); }),
            LoadText(kTextCabinetTargetFile));
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("ok.cab", members), L""); }), LoadText(kTextCabinetTargetFile));
  EXPECT_EQ(Attributes("\\A.BIN"), INVALID_FILE_ATTRIBUTES);
  // A folder where the member should go cannot be replaced by it.
  std::filesystem::create_directory(card / "A.BIN");
  EXPECT_EQ(IOFailure([&] { ExtractCabinet(Cabinet("ok.cab", members), card.wpath()); }),
            LoadText(kTextCabinetTargetFile));
  EXPECT_TRUE(std::filesystem::is_directory(card / "A.BIN"));
  EXPECT_TRUE(Listing(card / "A.BIN").empty());
}

}  // namespace
