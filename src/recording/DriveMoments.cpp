#include "recording/DriveMoments.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "recording/ArchiveFormat.h"
#include "recording/FrameEntry.h"
#include "recording/IVideoInfo.h"

namespace {

// An entry read from the file, not a copy filling a gap.
const FrameEntry* ReadEntry(const IVideoInfo& info, int32_t slot) {
  const FrameEntry* e = info.GetEntry(slot);
  return e != nullptr && !e->copy ? e : nullptr;
}

struct Reading {
  int32_t slot;
  double g;
};

std::vector<Reading> ReadCombinedG(const IVideoInfo& info) {
  std::vector<Reading> series;
  for (int32_t s = 0; s < info.GetSlotCount(); ++s)
    if (const FrameEntry* e = ReadEntry(info, s)) series.push_back({s, e->gTotal});
  return series;
}

// First readings of the plateaus that stand above both neighbours and the threshold.
std::vector<Reading> LocalMaxima(const std::vector<Reading>& series, double threshold) {
  std::vector<Reading> maxima;
  size_t i = 0;
  while (i < series.size()) {
    size_t j = i;
    while (j + 1 < series.size() && series[j + 1].g == series[i].g) ++j;
    const bool aboveBefore = i == 0 || series[i - 1].g < series[i].g;
    const bool aboveAfter = j + 1 == series.size() || series[j + 1].g < series[i].g;
    if (aboveBefore && aboveAfter && series[i].g > threshold) maxima.push_back(series[i]);
    i = j + 1;
  }
  return maxima;
}

bool HasNeighbourWithin(const std::set<int32_t>& kept, int32_t slot, int32_t gap) {
  const auto next = kept.lower_bound(slot);
  if (next != kept.end() && *next - slot < gap) return true;
  return next != kept.begin() && slot - *std::prev(next) < gap;
}

DriveMoment MomentOf(const IVideoInfo& info, int32_t slot) {
  const FrameEntry* e = info.GetEntry(slot);
  return DriveMoment{slot, e != nullptr ? e->time : 0};
}

void KeepLarger(DrivePeak& peak, double value, const DriveMoment& at) {
  if (peak.at.slot < 0 || std::fabs(value) > std::fabs(peak.value)) peak = DrivePeak{value, at};
}

void AddTimes(DriveSummary& summary, const FrameEntry& e) {
  if (e.time == 0) return;
  if (summary.startTime == 0) summary.startTime = e.time;
  summary.endTime = e.time;
}

void AddPeaks(DriveSummary& summary, const FrameEntry& e, const DriveMoment& at) {
  KeepLarger(summary.peakX, e.gX, at);
  KeepLarger(summary.peakY, e.gY, at);
  KeepLarger(summary.peakZ, e.gZ, at);
  KeepLarger(summary.peakTotal, e.gTotal, at);
  if (summary.maxSpeedAt.slot < 0 || e.speed > summary.maxSpeedKmh) {
    summary.maxSpeedKmh = e.speed;
    summary.maxSpeedAt = at;
  }
}

}  // namespace

bool IsEventSlot(const IVideoInfo& info, int32_t slot) {
  const FrameEntry* e = info.GetEntry(slot);
  return e != nullptr && e->event == archive::kEventFlag;
}

std::vector<int32_t> SwitchPressStarts(const IVideoInfo& info) {
  std::vector<int32_t> starts;
  for (int32_t s = 0; s < info.GetSlotCount(); ++s)
    if (IsEventSlot(info, s) && (s == 0 || !IsEventSlot(info, s - 1))) starts.push_back(s);
  return starts;
}

std::vector<int32_t> GPeaks(const IVideoInfo& info, double threshold, int32_t minGapSlots) {
  std::vector<Reading> maxima = LocalMaxima(ReadCombinedG(info), threshold);
  // Highest first; equal heights in slot order, so the earlier of two wins.
  std::stable_sort(maxima.begin(), maxima.end(), [](const Reading& a, const Reading& b) { return a.g > b.g; });
  std::set<int32_t> kept;
  for (const Reading& m : maxima)
    if (!HasNeighbourWithin(kept, m.slot, minGapSlots)) kept.insert(m.slot);
  return std::vector<int32_t>(kept.begin(), kept.end());
}

DriveSummary SummarizeDrive(const IVideoInfo& info) {
  DriveSummary summary;
  summary.slotCount = std::max(info.GetSlotCount(), 0);
  summary.durationSeconds = static_cast<double>(summary.slotCount) / kDriveSlotsPerSecond;
  int64_t speedSum = 0;
  int32_t entries = 0;
  for (int32_t s = 0; s < summary.slotCount; ++s) {
    const FrameEntry* e = info.GetEntry(s);
    if (e == nullptr) continue;
    ++entries;
    speedSum += e->speed;
    AddTimes(summary, *e);
    if (!e->copy) AddPeaks(summary, *e, DriveMoment{s, e->time});
  }
  // km/h over 1/28 s each: km = sum × (1/28) / 3600.
  summary.distanceKm = static_cast<double>(speedSum) / (kDriveSlotsPerSecond * 3600.0);
  if (entries > 0) summary.averageSpeedKmh = static_cast<double>(speedSum) / entries;
  for (int32_t s : SwitchPressStarts(info)) summary.switchPresses.push_back(MomentOf(info, s));
  return summary;
}
