// The folder scan: which names count, the order by start time, and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "HandArchive.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "recording/ScanFolder.h"

namespace {

// An archive header starting at 2009-06-14 10:00:ss (BCD second `second`).
void WriteArchive(const std::filesystem::path& path, uint8_t second, size_t size = 32) {
  HandArchive h;
  h.Bytes()[5] = 0x10;
  h.Bytes()[6] = 0x00;
  h.Bytes()[7] = second;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(h.Bytes().data()),
                                              static_cast<std::streamsize>(size));
}

std::vector<std::string> Names(const std::vector<RecordingEntry>& list) {
  std::vector<std::string> names;
  for (const auto& e : list) names.push_back(std::filesystem::path(e.path).filename().string());
  return names;
}

int64_t At(int second) {
  return CalendarTimeOrZero(LocalDateTime{2009, 6, 14, 10, 0, second});
}

}  // namespace

TEST(ScanFolder, RecordingNamesOnly) {
  EXPECT_TRUE(IsRecordingFileName(L"0001_001.DAT"));
  EXPECT_TRUE(IsRecordingFileName(L"9999_999.dat"));
  EXPECT_TRUE(IsRecordingFileName(L"0001_001.Dat"));
  for (const wchar_t* bad : {L"0001-001.DAT", L"001_0001.DAT", L"0001_001.DAT.bak", L"A001_001.DAT",
                             L"0001_001.DAX", L"0001_001DAT", L"", L"0001_00A.DAT", L"0001_001_DAT"})
    EXPECT_FALSE(IsRecordingFileName(bad)) << std::filesystem::path(bad).string();
}

TEST(ScanFolder, OrdersByStartTimeAndFindsThePath) {
  TempDir dir;
  WriteArchive(dir / "0002_001.DAT", 0x05);
  WriteArchive(dir / "0001_005.DAT", 0x00);
  WriteArchive(dir / "0003_001.dat", 0x99);  // 99 seconds: invalid, sorts first
  WriteArchive(dir / "0004_001.DAT", 0x03);
  WriteArchive(dir / "0001-001.DAT", 0x01);  // not a recording name: ignored
  WriteArchive(dir / "0001_001.DAT.bak", 0x01);
  std::vector<RecordingEntry> list{RecordingEntry{L"stale", 1}};
  const FolderScanResult r = ScanFolder((dir / "0004_001.DAT").wstring(), list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"0003_001.dat", "0001_005.DAT", "0004_001.DAT", "0002_001.DAT"}));
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(r.position, 2);
  EXPECT_EQ(list[0].startTime, 0);
  EXPECT_EQ(list[1].startTime, At(0));
  EXPECT_EQ(list[3].startTime, At(5));
  EXPECT_EQ(list[2].path, (dir / "0004_001.DAT").wstring());
}

TEST(ScanFolder, EqualTimesKeepTheListingOrder) {
  TempDir dir;
  for (const char* name : {"0005_001.DAT", "0001_001.DAT", "0003_001.DAT", "0002_001.DAT"})
    WriteArchive(dir / name, 0x07);
  // The listing's own order is the reference: a stable sort must not change it.
  std::vector<std::string> listed;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) listed.push_back(e.path().filename().string());
  std::vector<RecordingEntry> list;
  ScanFolder((dir / "0001_001.DAT").wstring(), list);
  EXPECT_EQ(Names(list), listed);
}

TEST(ScanFolder, AMovedAwayPathGivesPositionZero) {
  TempDir dir;
  WriteArchive(dir / "0001_001.DAT", 0x01);
  WriteArchive(dir / "0002_001.DAT", 0x00);
  std::vector<RecordingEntry> list;
  const FolderScanResult r = ScanFolder((dir / "0009_001.DAT").wstring(), list);
  EXPECT_EQ(r.position, 0);
  EXPECT_EQ(r.count, 2);
}

// The chosen path is matched as the file system compares names: without regard to case
// on Windows, exactly elsewhere.
TEST(ScanFolder, FindsThePathAsTheFileSystemComparesNames) {
  TempDir dir;
  WriteArchive(dir / "0001_001.DAT", 0x01);
  WriteArchive(dir / "0002_001.DAT", 0x00);  // earlier: listed first
  std::vector<RecordingEntry> list;
#ifdef _WIN32
  const int otherCase = 1;
#else
  const int otherCase = 0;  // another file, not in the folder
#endif
  EXPECT_EQ(ScanFolder((dir / "0001_001.dat").wstring(), list).position, otherCase);
  EXPECT_EQ(ScanFolder((dir / "0001_001.DAT").wstring(), list).position, 1);
}

TEST(ScanFolder, FailuresAreUnreadable) {
  TempDir dir;
  std::vector<RecordingEntry> list;
  // Empty folder, missing folder, a folder without recording names.
  EXPECT_THROW(ScanFolder((dir / "0001_001.DAT").wstring(), list), VideoArchiveException);
  EXPECT_THROW(ScanFolder((dir / "nowhere" / "0001_001.DAT").wstring(), list), VideoArchiveException);
  WriteArchive(dir / "other.DAT", 0x01);
  EXPECT_THROW(ScanFolder((dir / "other.DAT").wstring(), list), VideoArchiveException);
  // A recording shorter than 8 bytes aborts the whole scan.
  WriteArchive(dir / "0001_001.DAT", 0x01);
  WriteArchive(dir / "0002_001.DAT", 0x01, 7);
  EXPECT_THROW(ScanFolder((dir / "0001_001.DAT").wstring(), list), VideoArchiveException);
  // So does a folder with a recording's name.
  std::filesystem::remove(dir / "0002_001.DAT");
  std::filesystem::create_directory(dir / "0003_001.DAT");
  EXPECT_THROW(ScanFolder((dir / "0001_001.DAT").wstring(), list), VideoArchiveException);
}
