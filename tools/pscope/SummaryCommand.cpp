// pscope summary: the drive's figures as the viewer's summary window shows them, one JSON
// object, so scripts get them without the window.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "Command.h"
#include "foundation/LocalTime.h"
#include "recording/DriveMoments.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"

namespace pscope {
namespace {

std::string Number(const char* format, double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

std::string Int(int64_t v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%" PRId64, v);
  return buffer;
}

// Local "YYYY-MM-DD HH:MM:SS" in quotes, or null for no time.
std::string TimeValue(int64_t time) {
  LocalDateTime t;
  if (time == 0 || !ToLocalDateTime(time, t)) return "null";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02d %02d:%02d:%02d\"", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buffer;
}

std::string Moment(const DriveMoment& m) {
  return "{\"slot\":" + (m.slot < 0 ? std::string("null") : Int(m.slot)) + ",\"time\":" + TimeValue(m.time) + "}";
}

// The value exactly as the entry holds it; null when the recording has no reading.
std::string Peak(const DrivePeak& p) {
  const std::string value = p.at.slot < 0 ? "null" : Number("%.17g", p.value);
  return "{\"value\":" + value + ",\"slot\":" + (p.at.slot < 0 ? "null" : Int(p.at.slot)) +
         ",\"time\":" + TimeValue(p.at.time) + "}";
}

std::string SummaryJson(const DriveSummary& s) {
  std::string presses;
  for (const DriveMoment& m : s.switchPresses) presses += (presses.empty() ? "" : ",") + Moment(m);
  return "{\"start\":" + TimeValue(s.startTime) + ",\"end\":" + TimeValue(s.endTime) +
         ",\"duration_s\":" + Number("%.3f", s.durationSeconds) + ",\"distance_km\":" + Number("%.3f", s.distanceKm) +
         ",\"max_speed_kmh\":" + Int(s.maxSpeedKmh) +
         ",\"max_speed_slot\":" + (s.maxSpeedAt.slot < 0 ? std::string("null") : Int(s.maxSpeedAt.slot)) +
         ",\"avg_speed_kmh\":" + Number("%.1f", s.averageSpeedKmh) + ",\"peak_g\":{\"x\":" + Peak(s.peakX) +
         ",\"y\":" + Peak(s.peakY) + ",\"z\":" + Peak(s.peakZ) + ",\"total\":" + Peak(s.peakTotal) +
         "},\"switch_presses\":[" + presses + "]}\n";
}

int Summary(const Args& args) {
  if (args.size() != 1) throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  VideoInfo07 info(archive);
  Out(SummaryJson(SummarizeDrive(info)));
  return 0;
}

}  // namespace

PSCOPE_COMMAND("summary", "summary ARCHIVE", Summary);

}  // namespace pscope
