#pragma once
// The metadata view over an archive of the model 07 recording layout. The archive
// belongs to the loader and outlives this object; entries handed out are the archive's
// own and stay valid until it is closed or loaded again.
#include <vector>

#include "recording/IVideoInfo.h"

class VideoArchive;

class VideoInfo07 : public IVideoInfo {
 public:
  explicit VideoInfo07(const VideoArchive& archive) : archive_(archive) {}

  std::wstring GetShortCode() const override { return L"0000"; }
  std::wstring GetLongCode() const override { return L"00000000"; }
  int32_t GetReservedValue() const override;
  int32_t GetCurrentSlot() const override;
  const FrameEntry* GetCurrentEntry() const override;
  double GetReservedReal1() const override;
  double GetReservedReal2() const override;
  int32_t GetSlotCount() const override;
  const FrameEntry* GetEntry(int32_t slot) const override;
  int32_t GetImagesPerSlot() const override { return 1; }
  bool IsInfoMissing() const override { return false; }
  int64_t GetFirstPictureTime() const override;
  int64_t GetLastPictureTime() const override;
  int64_t GetRecordingStartTime() const override;
  int32_t FindNextEvent(int32_t from) const override;
  void CopyEventSlots(std::vector<int32_t>& out) const override { out = events_; }
  void BuildEventList() override;

 private:
  const VideoArchive& archive_;
  std::vector<int32_t> events_;
};
