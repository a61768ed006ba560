// Built with a device program embedded as resource "BINARY" 309, as the configure-time
// option does for the viewer.
#include "restore/CardRestore.h"

#include <gtest/gtest.h>

#include "CabinetTestSupport_win.h"

namespace {

TEST(EmbeddedDeviceProgram, ExtractsOntoTheCardAndCleansTheTemporaryCabinet) {
  ASSERT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(309), L"BINARY"), nullptr);
  CardDir card;
  WriteBytes(card / "0001_001.DAT", Bytes{1, 2, 3});
  const auto before = TemporaryCabinets();
  ExtractDeviceFiles(card.wpath());
  EXPECT_EQ(TemporaryCabinets(), before);
  const std::string sources = PATHSCOPE_TEST_GCAB_SOURCES;
  size_t count = 0;
  for (size_t at = 0; at <= sources.size();) {
    const size_t end = std::min(sources.find(';', at), sources.size());
    const std::string source = sources.substr(at, end - at);
    const std::string name = source.substr(source.rfind('/') + 1);
    EXPECT_EQ(ReadBytes(card / name), ReadBytes(FromBuildMachine(source))) << name;
    EXPECT_TRUE(Attributes(card / name) & FILE_ATTRIBUTE_HIDDEN) << name;
    ++count;
    at = end + 1;
  }
  EXPECT_EQ(Listing(card.path()).size(), count + 1);
  // A second restore replaces the read-only files of the first.
  ExtractDeviceFiles(card.wpath());
  EXPECT_EQ(Listing(card.path()).size(), count + 1);
  EXPECT_EQ(TemporaryCabinets(), before);
}

TEST(EmbeddedDeviceProgram, ExtractionFailureStillRemovesTheTemporaryCabinet) {
  CardDir card;
  const auto before = TemporaryCabinets();
  try {
    ExtractDeviceFiles((card / "missing").wstring());
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message, LoadText(kTextCabinetTargetFile));
  }
  EXPECT_EQ(TemporaryCabinets(), before);
}

}  // namespace
