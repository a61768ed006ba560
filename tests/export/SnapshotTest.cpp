// The names proposed for a clip and a snapshot, and the snapshot as the stored bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "RecorderSimulator.h"
#include "TempDir.h"
#include "export/Snapshot.h"
#include "foundation/Exception.h"
#include "recording/VideoArchive.h"

namespace {

class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recsim::RecordingDescription d = recsim::FastDrive(2500, 64, 48);
    d.start = LocalDateTime{2009, 6, 14, 9, 30, 0};
    path_ = (dir_ / "0001_001.DAT").wstring();
    recsim::WriteRecording(d, path_);
    archive_.Load(path_, nullptr);
  }
  TempDir dir_;
  std::wstring path_;
  VideoArchive archive_;
};

TEST_F(SnapshotTest, NamesTellTheSecondAndTheFrameWithinIt) {
  // The pictures' clock starts at 09:30:00 and ticks every 28 slots or so; a name is the
  // slot's second and how many slots of that second came before it.
  int lastSecondStart = 0;
  for (int slot = 0; slot < archive_.SlotCount(); ++slot) {
    if (slot > 0 && archive_.Entry(slot)->time != archive_.Entry(slot - 1)->time) lastSecondStart = slot;
    const std::wstring name = snapshot::PictureName(archive_, slot);
    ASSERT_EQ(name.size(), 22u) << slot;
    EXPECT_EQ(name.substr(0, 13), L"20090614_0930") << slot;
    const int frame = std::stoi(name.substr(16, 2));
    EXPECT_EQ(frame, std::min(27, slot - lastSecondStart)) << slot;
    EXPECT_EQ(name.substr(18), L".jpg");
  }
  EXPECT_EQ(snapshot::ClipName(archive_, 0), L"20090614_093000.avi");
  EXPECT_EQ(snapshot::ClipName(archive_, archive_.SlotCount()), L"clip.avi");
  EXPECT_EQ(snapshot::PictureName(archive_, -1), L"snapshot.jpg");
  // The picture as shown goes by the same name as a PNG.
  EXPECT_EQ(snapshot::ShownPictureName(archive_, 3), snapshot::PictureName(archive_, 3).substr(0, 18) + L".png");
  EXPECT_EQ(snapshot::ShownPictureName(archive_, -1), L"snapshot.png");
}

TEST_F(SnapshotTest, TheSnapshotIsTheStoredStreamAndAFailureLeavesNoFile) {
  const auto file = dir_ / "shot.jpg";
  snapshot::WriteStoredPicture(archive_, 5, file.wstring());
  std::ifstream in(file, std::ios::binary);
  const std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)), {});
  std::vector<uint8_t> stored;
  ASSERT_TRUE(archive_.ReadFrameJpeg(5, stored));
  EXPECT_EQ(written, stored);
  EXPECT_THROW(snapshot::WriteStoredPicture(archive_, archive_.SlotCount(), (dir_ / "none.jpg").wstring()),
               IOException);
  EXPECT_THROW(snapshot::WriteStoredPicture(archive_, 5, (dir_ / "missing" / "x.jpg").wstring()), IOException);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
}

}  // namespace
