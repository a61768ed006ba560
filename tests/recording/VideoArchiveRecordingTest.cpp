// Whole recordings from the recorder simulator, sound and damaged ones, read back
// through VideoArchive and compared with what the simulator says it wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "RecorderSimulator.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "recording/VideoArchive.h"
#include "toolkit/Image.h"

namespace {

using namespace archive;
using recsim::RecordingDescription;
using recsim::RecordingManifest;

RecordingDescription Small(int ms = 2000) {
  RecordingDescription d;
  d.durationMs = ms;
  d.mode = recsim::PictureMode::Fast;
  d.fastVariants = 3;
  d.width = 160;
  d.height = 120;
  return d;
}

// Pictures that need two or three fragments each.
RecordingDescription Fragmented(int ms = 2000) {
  RecordingDescription d = Small(ms);
  d.width = 320;
  d.height = 240;
  d.targetJpegBytes = 14000;
  return d;
}

struct Loaded {
  TempDir dir;
  RecordingManifest manifest;
  VideoArchive archive;
  std::map<int64_t, int> slotOfTick;  // scanned entries only

  explicit Loaded(const RecordingDescription& d) {
    const std::wstring path = (dir / "0001_001.DAT").wstring();
    manifest = recsim::WriteRecording(d, path);
    archive.Load(path, nullptr);
    for (int s = 0; s < archive.SlotCount(); ++s) {
      const FrameEntry* e = archive.Entry(s);
      if (e && !e->copy) slotOfTick[e->tick] = s;
    }
  }

  int SlotOf(const recsim::PictureRecord& p) const {
    const auto it = slotOfTick.find(VideoArchive::WidenTick(p.tick, manifest.startTick));
    return it == slotOfTick.end() ? -1 : it->second;
  }

  std::vector<uint8_t> SoundData() const {
    std::ifstream in(std::filesystem::path(archive.SoundPath()), std::ios::binary);
    std::vector<uint8_t> all((std::istreambuf_iterator<char>(in)), {});
    return all.size() < 44 ? std::vector<uint8_t>() : std::vector<uint8_t>(all.begin() + 44, all.end());
  }
};

}  // namespace

TEST(VideoArchiveRecording, EveryPictureIsFoundWithItsValuesAndBytes) {
  RecordingDescription d = Fragmented(3000);
  d.switchPressesMs = {1000};
  d.eventSpanMs = 300;
  Loaded l(d);
  const VideoArchive& a = l.archive;
  EXPECT_EQ(a.ArchiveId(), d.archiveId);
  EXPECT_EQ(a.StartTick(), d.startTick);
  EXPECT_EQ(a.RecordingStartTime(), CalendarTimeOrZero(d.start));
  ASSERT_EQ(l.slotOfTick.size(), l.manifest.pictures.size());
  int events = 0;
  for (const auto& p : l.manifest.pictures) {
    const int slot = l.SlotOf(p);
    ASSERT_GE(slot, 0) << p.index;
    const FrameEntry& e = *a.Entry(slot);
    EXPECT_EQ(e.payloadSize, p.payloadSize);
    ASSERT_EQ(e.fragmentCount, p.fragmentCount);
    for (int k = 0; k < p.fragmentCount; ++k)
      EXPECT_EQ(e.fragmentPos[k], static_cast<int64_t>(p.blockOffsets[static_cast<size_t>(k)] + 64));
    EXPECT_EQ(e.gX, DecodeG(p.gx));
    EXPECT_EQ(e.gZ, DecodeG(p.gz));
    EXPECT_EQ(e.speed, std::min(p.speedKmh, 180));
    EXPECT_EQ(e.event, p.event);
    EXPECT_EQ(e.status, p.status);
    EXPECT_EQ(static_cast<uint32_t>(e.value1), p.value1);
    EXPECT_EQ(e.time, CalendarTimeOrZero(p.local));
    events += e.event == kEventFlag;
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(l.archive.ReadFrameJpeg(slot, jpeg));
    // The stream handed to the decoder: the fixed prefix, then the encoder's bytes
    // from the 17th on (the tag took the place of the first 16).
    ASSERT_EQ(jpeg.size(), p.jpeg->size());
    EXPECT_TRUE(std::equal(kJpegPrefix, kJpegPrefix + 16, jpeg.begin()));
    EXPECT_TRUE(std::equal(jpeg.begin() + 16, jpeg.end(), p.jpeg->begin() + 16)) << p.index;
  }
  EXPECT_GT(events, 0);
  EXPECT_EQ(a.FirstPictureTime(), CalendarTimeOrZero(l.manifest.pictures.front().local));
  EXPECT_EQ(a.LastPictureTime(), CalendarTimeOrZero(l.manifest.pictures.back().local));

  // Every slot decodes, copies to the same picture as the slot they copy.
  for (int s = 0; s < a.SlotCount(); ++s) {
    auto image = l.archive.ReadFrameImage(s);
    ASSERT_NE(image, nullptr) << s;
    EXPECT_EQ(image->Width(), 320);
    EXPECT_EQ(image->Height(), 240);
  }
  for (int s = 1; s < a.SlotCount(); ++s) {
    if (!a.Entry(s)->copy) continue;
    auto copy = l.archive.ReadFrameImage(s);
    const int from = l.slotOfTick.at(a.Entry(s)->tick);
    auto original = l.archive.ReadFrameImage(from);
    ASSERT_EQ(copy->ByteSize(), original->ByteSize());
    EXPECT_TRUE(std::equal(copy->Pixels(), copy->Pixels() + copy->ByteSize(), original->Pixels()));
    break;
  }
  // Time index ordered by tick over every slot.
  ASSERT_EQ(a.IndexCount(), a.SlotCount());
  for (int i = 1; i < a.IndexCount(); ++i) EXPECT_LE(a.IndexEntry(i - 1).tick, a.IndexEntry(i).tick);
}

TEST(VideoArchiveRecording, SoundIsLeadSilenceAndTheBlocksInOrder) {
  RecordingDescription d = Small(3000);
  d.soundOffsetMs = 100;
  Loaded l(d);
  const auto data = l.SoundData();
  ASSERT_FALSE(l.manifest.sounds.empty());
  std::vector<uint8_t> expected(817, 0x80);
  for (const auto& s : l.manifest.sounds) expected.insert(expected.end(), s.samples.begin(), s.samples.end());
  EXPECT_EQ(data.size(), expected.size());
  EXPECT_TRUE(data == expected);
  EXPECT_EQ(l.archive.SoundDataBytes(), expected.size());
  EXPECT_TRUE(l.archive.SoundStreamed());  // a recorder's file needs no second pass
  // Pictures stay where their ticks put them.
  EXPECT_EQ(l.archive.Entry(0)->tick, l.manifest.pictures.front().tick);
}

TEST(VideoArchiveRecording, EarlySoundMovesThePicturesLater) {
  RecordingDescription d = Small(1000);
  d.soundOffsetMs = -100;
  Loaded l(d);
  // 62 ms later: the first picture lands in slot 1, slot 0 holds its copy.
  EXPECT_TRUE(l.archive.Entry(0)->copy);
  EXPECT_EQ(l.SlotOf(l.manifest.pictures.front()), 1);
  EXPECT_EQ(l.SoundData().size() % 4096, 0u);  // no lead silence, only whole blocks
}

TEST(VideoArchiveRecording, DamageTheRecorderCausesIsSurvived) {
  {  // foreign bytes between blocks
    RecordingDescription d = Small();
    d.faults.garbageAfterPicture = 5;
    d.faults.garbageBytes = 20000;
    Loaded l(d);
    EXPECT_EQ(l.slotOfTick.size(), l.manifest.pictures.size());
  }
  {  // an older recording behind this one
    RecordingDescription d = Small();
    d.faults.olderTailPictures = 10;
    Loaded l(d);
    EXPECT_EQ(l.slotOfTick.size(), l.manifest.pictures.size());
  }
  {  // the file ends inside its last block
    RecordingDescription d = Small();
    d.faults.truncateLastBlockBytes = 3000;
    Loaded l(d);
    EXPECT_GE(l.slotOfTick.size() + 1, l.manifest.pictures.size());
    EXPECT_GT(l.archive.SlotCount(), 0);
  }
  {  // a lost fragment and a missing end marker each drop their picture
    RecordingDescription d = Fragmented();
    d.faults.missingFragmentPicture = 4;
    d.faults.noEndMarkerPicture = 20;
    Loaded l(d);
    EXPECT_EQ(l.SlotOf(l.manifest.pictures[4]), -1);
    EXPECT_EQ(l.SlotOf(l.manifest.pictures[20]), -1);
    EXPECT_GE(l.SlotOf(l.manifest.pictures[3]), 0);
    EXPECT_GE(l.SlotOf(l.manifest.pictures[19]), 0);
    EXPECT_GE(l.SlotOf(l.manifest.pictures[30]), 0);
    // The dropped pictures' slots show their neighbours.
    for (int s = 0; s < l.archive.SlotCount(); ++s) EXPECT_NE(l.archive.ReadFrameImage(s), nullptr) << s;
  }
  {  // one picture of another format version is found but never read
    RecordingDescription d = Small();
    d.faults.otherVersionPicture = 3;
    Loaded l(d);
    const int slot = l.SlotOf(l.manifest.pictures[3]);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(l.archive.ReadFrameImage(slot), nullptr);
    EXPECT_NE(l.archive.ReadFrameImage(l.SlotOf(l.manifest.pictures[4])), nullptr);
  }
  {  // the counter wraps during the drive
    RecordingDescription d = Small();
    d.faults.tickWrapAfterMs = 700;
    Loaded l(d);
    EXPECT_EQ(l.slotOfTick.size(), l.manifest.pictures.size());
    EXPECT_LE(l.archive.SlotCount(), d.durationMs * 28 / 1000 + 3);
  }
  {  // impossible dates take the last valid one; an impossible header date is no time
    RecordingDescription d = Small();
    d.faults.invalidDateFirst = 10;
    d.faults.invalidDateCount = 2;
    d.faults.invalidHeaderDate = true;
    Loaded l(d);
    EXPECT_EQ(l.archive.RecordingStartTime(), 0);
    const auto& p = l.manifest.pictures;
    const int64_t before = CalendarTimeOrZero(p[9].local);
    EXPECT_EQ(l.archive.Entry(l.SlotOf(p[10]))->time, before);
    EXPECT_EQ(l.archive.Entry(l.SlotOf(p[11]))->time, before);
  }
}

TEST(VideoArchiveRecording, ForeignFormatVersionIsUnreadable) {
  RecordingDescription d = Small(500);
  d.version = FormatVersion{0x03, 0x02};
  TempDir dir;
  const std::wstring path = (dir / "0001_001.DAT").wstring();
  recsim::WriteRecording(d, path);
  VideoArchive a;
  EXPECT_THROW(a.Load(path, nullptr), VideoArchiveException);
  EXPECT_FALSE(a.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(a.SoundPath())));
}
