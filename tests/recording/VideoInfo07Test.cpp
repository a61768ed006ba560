// The metadata view: event search and list over a loaded archive.
#include <gtest/gtest.h>

#include "HandArchive.h"
#include "TempDir.h"
#include "recording/ByteStream.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"

namespace {

constexpr uint32_t kT = 300000;

// Pictures one slot apart (36 ms), with events in `events`.
void LoadWithEvents(VideoArchive& a, int slots, std::vector<int> events) {
  HandArchive h;
  for (int s = 0; s < slots; ++s) {
    const bool event = std::find(events.begin(), events.end(), s) != events.end();
    h.Picture(kT + static_cast<uint32_t>(s * 1000 / 28 + 1), 2000, event ? archive::kEventFlag : 0);
  }
  a.Load(std::make_unique<MemorySource>(h.Bytes()), nullptr);
}

}  // namespace

TEST(VideoInfo07, EventsAreListedOnceInSlotOrder) {
  VideoArchive a;
  LoadWithEvents(a, 45, {5, 6, 40});
  ASSERT_EQ(a.SlotCount(), 45);
  VideoInfo07 info(a);
  EXPECT_EQ(info.FindNextEvent(7), 40);
  EXPECT_EQ(info.FindNextEvent(41), -1);
  EXPECT_EQ(info.FindNextEvent(45), -1);
  std::vector<int32_t> out{99};
  info.CopyEventSlots(out);
  EXPECT_TRUE(out.empty());  // nothing until the list is built
  info.BuildEventList();
  info.CopyEventSlots(out);
  EXPECT_EQ(out, (std::vector<int32_t>{5, 6, 40}));
  info.BuildEventList();  // rebuilding does not add twice
  info.CopyEventSlots(out);
  EXPECT_EQ(out, (std::vector<int32_t>{5, 6, 40}));
}

TEST(VideoInfo07, GapCopiesOfAnEventAreNotEvents) {
  HandArchive h;
  h.Picture(kT, 2000, archive::kEventFlag);
  h.Picture(kT + 200);
  VideoArchive a;
  a.Load(std::make_unique<MemorySource>(h.Bytes()), nullptr);
  VideoInfo07 info(a);
  info.BuildEventList();
  std::vector<int32_t> out;
  info.CopyEventSlots(out);
  EXPECT_EQ(out, (std::vector<int32_t>{0}));
}

TEST(VideoInfo07, ViewFollowsTheArchive) {
  VideoArchive a;
  LoadWithEvents(a, 3, {});
  VideoInfo07 info(a);
  EXPECT_EQ(info.GetShortCode(), L"0000");
  EXPECT_EQ(info.GetLongCode(), L"00000000");
  EXPECT_EQ(info.GetImagesPerSlot(), 1);
  EXPECT_FALSE(info.IsInfoMissing());
  EXPECT_EQ(info.GetCurrentSlot(), -1);
  EXPECT_EQ(info.GetCurrentEntry(), nullptr);
  EXPECT_EQ(info.GetSlotCount(), 3);
  EXPECT_NE(info.GetEntry(2), nullptr);
  EXPECT_EQ(info.GetEntry(-1), nullptr);
  EXPECT_EQ(info.GetEntry(3), nullptr);
  EXPECT_EQ(info.GetRecordingStartTime(), a.RecordingStartTime());
  EXPECT_EQ(info.GetFirstPictureTime(), a.RecordingStartTime());
  info.BuildEventList();
  std::vector<int32_t> out;
  info.CopyEventSlots(out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(info.FindNextEvent(0), -1);

  a.Close();
  EXPECT_EQ(info.GetSlotCount(), 0);
  EXPECT_EQ(info.GetEntry(0), nullptr);

  // A plain picture file: one slot, no entry, no events.
  TempDir dir;
  const auto plain = dir / "x.jpg";
  { FILE* f = std::fopen(plain.string().c_str(), "wb"); std::fclose(f); }
  a.OpenPlain(plain.wstring());
  info.BuildEventList();
  info.CopyEventSlots(out);
  EXPECT_EQ(info.GetSlotCount(), 1);
  EXPECT_TRUE(out.empty());
}

// The search goes through the interface: a view that hides slots changes it.
TEST(VideoInfo07, SearchUsesTheOverridableQueries) {
  struct Hiding : VideoInfo07 {
    using VideoInfo07::VideoInfo07;
    const FrameEntry* GetEntry(int32_t slot) const override {
      return slot == 5 ? nullptr : VideoInfo07::GetEntry(slot);
    }
    int32_t GetSlotCount() const override { return 30; }
  };
  VideoArchive a;
  LoadWithEvents(a, 45, {5, 6, 40});
  Hiding info(a);
  info.BuildEventList();
  std::vector<int32_t> out;
  info.CopyEventSlots(out);
  EXPECT_EQ(out, (std::vector<int32_t>{6}));
}
