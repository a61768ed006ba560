// What a drop on the main window opens, on real folders.
#include "app/DroppedRecording.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

// The first bytes of an archive that starts at 2009-06-14 10:00:ss (BCD second).
void WriteHead(const fs::path& path, uint8_t second) {
  const uint8_t head[8] = {0, 0, 0x09, 0x06, 0x14, 0x10, 0x00, second};
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(head), sizeof head);
}

TEST(DroppedRecording, TheFirstRecordingFileOrFolderAmongTheDroppedPathsOpens) {
  TempDir dir;
  const fs::path card = dir / "card";
  const fs::path empty = dir / "empty";
  const fs::path oddFolder = dir / "odd.dat";  // a folder, though named like a recording
  for (const fs::path& f : {card, empty, oddFolder}) fs::create_directories(f);
  WriteHead(card / "0001_001.DAT", 0x30);
  WriteHead(card / "0002_001.DAT", 0x10);  // the earliest, though not the first name
  WriteHead(card / "0003_001.dat", 0x20);
  std::ofstream(dir / "notes.txt") << "no recording";
  std::ofstream(dir / "clip.Dat") << "any name ending .dat";
  const auto p = [](const fs::path& f) { return f.wstring(); };
  const std::wstring separator(1, fs::path::preferred_separator);

  const struct {
    const char* what;
    std::vector<std::wstring> dropped;
    std::optional<std::wstring> opened;
  } cases[] = {
      {"a recording", {p(card / "0003_001.dat")}, p(card / "0003_001.dat")},
      {"any .dat file", {p(dir / "clip.Dat")}, p(dir / "clip.Dat")},
      {"a folder: its first recording in time", {p(card)}, p(card / "0002_001.DAT")},
      {"a folder with a trailing separator", {p(card) + separator}, p(card / "0002_001.DAT")},
      {"the first recording among several", {p(dir / "notes.txt"), p(empty), p(oddFolder),
                                             p(card / "0001_001.DAT"), p(dir / "clip.Dat")},
       p(card / "0001_001.DAT")},
      {"nothing to open", {p(dir / "notes.txt"), p(empty), p(oddFolder)}, std::nullopt},
      {"nothing dropped", {}, std::nullopt},
      {"an empty path", {L""}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DroppedRecording(c.dropped), c.opened);
  }
}

}  // namespace
