#pragma once
// The read-only view of a loaded recording that the player and its panels use: the
// timeline's length, the entry of a slot, the summary times and the event slots.
#include <cstdint>
#include <string>
#include <vector>

struct FrameEntry;

class IVideoInfo {
 public:
  virtual std::wstring GetShortCode() const = 0;
  virtual std::wstring GetLongCode() const = 0;
  virtual int32_t GetReservedValue() const = 0;
  virtual int32_t GetCurrentSlot() const = 0;
  virtual const FrameEntry* GetCurrentEntry() const = 0;
  virtual double GetReservedReal1() const = 0;
  virtual double GetReservedReal2() const = 0;
  virtual int32_t GetSlotCount() const = 0;
  // Null when `slot` is outside 0 .. slot count - 1 or the slot is empty.
  virtual const FrameEntry* GetEntry(int32_t slot) const = 0;
  virtual int32_t GetImagesPerSlot() const = 0;
  virtual bool IsInfoMissing() const = 0;
  virtual int64_t GetFirstPictureTime() const = 0;
  virtual int64_t GetLastPictureTime() const = 0;
  virtual int64_t GetRecordingStartTime() const = 0;
  // The first event slot at or after `from`, or -1.
  virtual int32_t FindNextEvent(int32_t from) const = 0;
  // Replaces the contents of `out` with the event list.
  virtual void CopyEventSlots(std::vector<int32_t>& out) const = 0;
  virtual void BuildEventList() = 0;
  virtual ~IVideoInfo() = default;
};
