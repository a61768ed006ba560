#include "recording/VideoInfo07.h"

#include "recording/ArchiveFormat.h"
#include "recording/VideoArchive.h"

int32_t VideoInfo07::GetReservedValue() const { return archive_.ReservedValue(); }
int32_t VideoInfo07::GetCurrentSlot() const { return archive_.CurrentSlot(); }
const FrameEntry* VideoInfo07::GetCurrentEntry() const { return archive_.Entry(archive_.CurrentSlot()); }
double VideoInfo07::GetReservedReal1() const { return archive_.ReservedReal1(); }
double VideoInfo07::GetReservedReal2() const { return archive_.ReservedReal2(); }
int32_t VideoInfo07::GetSlotCount() const { return archive_.SlotCount(); }
const FrameEntry* VideoInfo07::GetEntry(int32_t slot) const { return archive_.Entry(slot); }
int64_t VideoInfo07::GetFirstPictureTime() const { return archive_.FirstPictureTime(); }
int64_t VideoInfo07::GetLastPictureTime() const { return archive_.LastPictureTime(); }
int64_t VideoInfo07::GetRecordingStartTime() const { return archive_.SummaryStartTime(); }

int32_t VideoInfo07::FindNextEvent(int32_t from) const {
  // Through the interface on purpose: a subclass that changes either call changes the search.
  for (int32_t s = from < 0 ? 0 : from; s < GetSlotCount(); ++s) {
    const FrameEntry* entry = GetEntry(s);
    if (entry && entry->event == archive::kEventFlag) return s;
  }
  return -1;
}

void VideoInfo07::BuildEventList() {
  events_.clear();
  for (int32_t s = FindNextEvent(0); s != -1; s = FindNextEvent(s + 1)) events_.push_back(s);
}
