// The cabinet test files of a widely used cabinet library: LZX, Quantum, reserved
// areas, split sets and many deliberately damaged cabinets. Each one either extracts
// exactly as the reference extractor does, or fails with a cabinet message and leaves
// nothing behind.
#include <gtest/gtest.h>

#include <cstdio>

#include "CabinetTestSupport_win.h"
#include "restore/ExtractCabinet.h"

namespace {

TEST(MsPackCabinets, EachExtractsExactlyOrFailsCleanly) {
  const std::filesystem::path root = FromBuildMachine(PATHSCOPE_TEST_CABINETS);
  if (!std::filesystem::exists(root / ".done"))
    GTEST_SKIP() << "test cabinets not fetched (scripts/fetch-test-cabinets failed: no network or no deb-src)";
  int exact = 0, refused = 0, lenient = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root / "cabd")) {
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    CardDir card;
    WriteBytes(card / "KEEP.DAT", Bytes{7});
    bool ok = true;
    std::wstring message;
    try {
      ExtractCabinet(entry.path().wstring(), card.wpath());
    } catch (const IOException& e) {
      ok = false;
      message = e.message;
    }
    const auto reference = root / "ref" / stem;
    const bool referenceOk = std::filesystem::exists(root / "ref" / (stem + ".ok"));
    if (!ok) {
      ++refused;
      EXPECT_TRUE(IsCabinetMessage(message)) << ToNarrow(message);
      EXPECT_EQ(Listing(card.path()), std::set<std::wstring>{L"KEEP.DAT"});
    } else if (referenceOk) {
      ++exact;
      std::set<std::wstring> expected = Listing(reference);
      expected.insert(L"KEEP.DAT");
      EXPECT_EQ(Listing(card.path()), expected);
      for (const auto& name : Listing(reference))
        EXPECT_EQ(ReadBytes(card / name), ReadBytes(reference / name)) << ToNarrow(name);
    } else {
      // The system's decompressor is more lenient than the reference with some damaged
      // directories; what it made must still be plain, complete files in the folder.
      ++lenient;
      for (const auto& name : Listing(card.path())) {
        EXPECT_EQ(name.find(L'\\'), std::wstring::npos) << ToNarrow(name);
        EXPECT_TRUE(std::filesystem::is_regular_file(card / name)) << ToNarrow(name);
      }
    }
  }
  std::printf("cabinets: %d extracted exactly, %d refused, %d extracted where the reference refused\n", exact,
              refused, lenient);
  EXPECT_GE(exact, 10);
  EXPECT_GE(refused, 20);
}

}  // namespace
