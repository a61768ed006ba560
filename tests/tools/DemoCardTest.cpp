// The demo card: enough recordings over enough dates for the viewer's navigation, small
// enough to write in seconds, and device files in the recorder's record layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>

#include "DemoCard.h"
#include "DeviceFileWriter.h"
#include "TempDir.h"
#include "foundation/LocalTime.h"
#include "recording/ArchiveFormat.h"

namespace {

using recsim::DemoCard;

bool RecorderName(const std::wstring& name) {
  if (name.size() != 12 || name[4] != L'_' || name.substr(8) != L".DAT") return false;
  for (int i : {0, 1, 2, 3, 5, 6, 7}) {
    if (name[static_cast<size_t>(i)] < L'0' || name[static_cast<size_t>(i)] > L'9') return false;
  }
  return true;
}

std::vector<uint8_t> ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DemoCard, PlanCoversSeveralDatesInRecordingOrder) {
  const auto plan = DemoCard::Plan();
  ASSERT_GE(plan.size(), 6u);
  std::set<std::wstring> names;
  std::set<uint32_t> ids;
  std::set<int> dates;
  int withPresses = 0;
  int64_t previous = 0;
  for (const auto& r : plan) {
    EXPECT_TRUE(RecorderName(r.name));
    names.insert(r.name);
    ids.insert(r.description.archiveId);
    dates.insert(r.description.start.year * 10000 + r.description.start.month * 100 + r.description.start.day);
    if (!r.description.switchPressesMs.empty()) ++withPresses;
    EXPECT_TRUE(r.description.sound);
    EXPECT_GE(r.description.durationMs, 10000);
    EXPECT_LE(r.description.durationMs, 60000);
    int64_t start = 0;
    ASSERT_TRUE(ToCalendarTime(r.description.start, start));
    EXPECT_GT(start, previous);  // names in the same order as the times
    previous = start;
  }
  EXPECT_EQ(names.size(), plan.size());
  EXPECT_EQ(ids.size(), plan.size());
  EXPECT_GE(dates.size(), 3u);
  EXPECT_GE(withPresses, 1);
}

// Pictures of the card take two blocks each, which keeps the whole card below 60 MB.
TEST(DemoCard, CardStaysSmall) {
  uint64_t bound = 0;
  for (auto r : DemoCard::Plan()) {
    r.description.durationMs = 700;
    recsim::RecordingManifest m;
    recsim::BuildRecording(r.description, &m);
    for (const auto& p : m.pictures) EXPECT_LE(p.fragmentCount, 2) << "picture " << p.index;
  }
  for (const auto& r : DemoCard::Plan()) {
    const uint64_t pictures = static_cast<uint64_t>(r.description.durationMs) / 35 + 1;
    const uint64_t sounds = static_cast<uint64_t>(r.description.durationMs) / 310 + 2;
    bound += archive::kHeaderAreaSize + (pictures * 2 + sounds) * archive::kBlockSize;
  }
  EXPECT_LT(bound, 60u * 1000 * 1000);
}

TEST(DemoCard, WritesRecordingsAndDeviceFilesIntoOneFolder) {
  TempDir dir;
  auto plan = DemoCard::Plan();
  for (auto& r : plan) r.description.durationMs = 300;  // keep the test quick
  const auto card = dir / "card";
  const auto files = DemoCard::Write(card.wstring(), plan);
  ASSERT_EQ(files.size(), plan.size() + 2);
  for (size_t i = 0; i < plan.size(); ++i) {
    const auto bytes = ReadWhole(card / plan[i].name);
    ASSERT_EQ(bytes.size(), files[i].size);
    ASSERT_GE(bytes.size(), archive::kHeaderAreaSize);
    const auto header = archive::DecodeArchiveHeader(bytes.data());
    EXPECT_EQ(header.start, plan[i].description.start);
    EXPECT_EQ(header.archiveId, plan[i].description.archiveId);
    EXPECT_GT(files[i].pictures, 0);
    EXPECT_GT(files[i].soundBlocks, 0);
  }
  EXPECT_EQ(ReadWhole(card / "KORA.INI"), DemoCard::SettingsFile());
  EXPECT_EQ(ReadWhole(card / "FIRMINFO.DAT"), DemoCard::FirmInfoFile());
}

// Each record: key, five value bytes, and the exclusive-or of the seven as check byte.
void ExpectRecords(const std::vector<uint8_t>& bytes, size_t from, std::set<uint16_t>& keys) {
  ASSERT_EQ((bytes.size() - from) % 8, 0u);
  const uint8_t header[8] = {0x00, 0x01, 0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFB};
  EXPECT_TRUE(std::equal(header, header + 8, bytes.begin() + static_cast<std::ptrdiff_t>(from)));
  for (size_t r = from + 8; r < bytes.size(); r += 8) {
    uint8_t x = 0;
    for (size_t i = 0; i < 7; ++i) x ^= bytes[r + i];
    EXPECT_EQ(bytes[r + 7], x) << "record at " << r;
    keys.insert(static_cast<uint16_t>(bytes[r] << 8 | bytes[r + 1]));
  }
}

TEST(DemoCard, DeviceFilesUseTheRecordLayout) {
  std::set<uint16_t> keys;
  const auto ini = DemoCard::SettingsFile();
  ExpectRecords(ini, 0, keys);
  EXPECT_EQ(keys, (std::set<uint16_t>{0x0101, 0x0306, 0x1801}));
  keys.clear();
  const auto info = DemoCard::FirmInfoFile();
  ASSERT_GT(info.size(), 24u);
  ExpectRecords(info, 16, keys);
  EXPECT_EQ(keys, (std::set<uint16_t>{0x0101, 0x0306, 0x1801}));
}

TEST(DeviceFileWriter, RecordsCarryBcdValues) {
  using recsim::DeviceFileWriter;
  const auto date = DeviceFileWriter::Encode(DeviceFileWriter::DateTime({2009, 12, 31, 23, 5, 59}));
  const std::array<uint8_t, 8> expectDate{{0x01, 0x01, 0x09, 0x12, 0x31, 0x23, 0x05, 0x00}};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(date[i], expectDate[i]) << i;
  EXPECT_EQ(date[7], 0x01 ^ 0x01 ^ 0x09 ^ 0x12 ^ 0x31 ^ 0x23 ^ 0x05);
  const auto buzzer = DeviceFileWriter::Encode(DeviceFileWriter::Buzzer(1));
  const std::array<uint8_t, 8> expectBuzzer{{0x03, 0x06, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x03 ^ 0x06 ^ 0x01}};
  EXPECT_EQ(buzzer, expectBuzzer);
  const auto mode = DeviceFileWriter::Encode(DeviceFileWriter::RecordMode(0));
  EXPECT_EQ(mode[0], 0x18);
  EXPECT_EQ(mode[1], 0x01);
  EXPECT_EQ(mode[2], 0x00);
  EXPECT_EQ(mode[7], 0x18 ^ 0x01);
  // Another version changes the header and its check byte.
  const auto header = DeviceFileWriter::Header({0x03, 0x02});
  EXPECT_EQ(header[2], 0x03);
  EXPECT_EQ(header[3], 0x02);
  EXPECT_EQ(header[7], 0x01 ^ 0x03 ^ 0x02 ^ 0xFF ^ 0xFF ^ 0xFF);
}

}  // namespace
