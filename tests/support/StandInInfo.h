#pragma once
// A recording view with chosen entries, for panels given what no recording carries: G
// values above the scale, missing times, missing information.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

// An empty optional is a slot without an entry.
class StandInInfo : public IVideoInfo {
 public:
  explicit StandInInfo(std::vector<std::optional<FrameEntry>> e = {}) : entries(std::move(e)) {}
  static std::optional<FrameEntry> G(double g) {
    FrameEntry e;
    e.gTotal = g;
    return e;
  }
  static std::optional<FrameEntry> At(int64_t time) {
    FrameEntry e;
    e.time = time;
    return e;
  }
  std::vector<std::optional<FrameEntry>> entries;
  bool missing = false;

  std::wstring GetShortCode() const override { return L"0000"; }
  std::wstring GetLongCode() const override { return L"00000000"; }
  int32_t GetReservedValue() const override { return 0; }
  int32_t GetCurrentSlot() const override { return -1; }
  const FrameEntry* GetCurrentEntry() const override { return nullptr; }
  double GetReservedReal1() const override { return 0.0; }
  double GetReservedReal2() const override { return 0.0; }
  int32_t GetSlotCount() const override { return static_cast<int32_t>(entries.size()); }
  const FrameEntry* GetEntry(int32_t slot) const override {
    if (slot < 0 || slot >= GetSlotCount() || !entries[static_cast<size_t>(slot)]) return nullptr;
    return &*entries[static_cast<size_t>(slot)];
  }
  int32_t GetImagesPerSlot() const override { return 1; }
  bool IsInfoMissing() const override { return missing; }
  int64_t GetFirstPictureTime() const override { return 0; }
  int64_t GetLastPictureTime() const override { return 0; }
  int64_t GetRecordingStartTime() const override { return 0; }
  int32_t FindNextEvent(int32_t) const override { return -1; }
  void CopyEventSlots(std::vector<int32_t>& out) const override { out.clear(); }
  void BuildEventList() override {}
};
