#include "RecsimOptions.h"

#include <algorithm>
#include <cstdio>

#include "foundation/Utf8.h"

namespace recsim {
namespace {

// A decimal number in [lo, hi]; anything else is a usage error.
long long Number(const std::wstring& text, long long lo, long long hi, const char* what) {
  bool negative = false;
  size_t i = 0;
  if (!text.empty() && text[0] == L'-') {
    negative = true;
    i = 1;
  }
  if (i >= text.size() || text.size() - i > 12) throw UsageError(std::string("bad number for ") + what);
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') throw UsageError(std::string("bad number for ") + what);
    value = value * 10 + (text[i] - L'0');
  }
  if (negative) value = -value;
  if (value < lo || value > hi) throw UsageError(std::string(what) + " out of range");
  return value;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

LocalDateTime ParseStart(const std::wstring& text) {
  // YYYY-MM-DD HH:MM:SS, exactly.
  const std::string s = ToUtf8(text);
  LocalDateTime t;
  char tail = 0;
  if (s.size() != 19 || std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                                    &t.minute, &t.second, &tail) != 6 ||
      s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':') {
    throw UsageError("--start wants \"YYYY-MM-DD HH:MM:SS\"");
  }
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  // The recorder stores the year as two BCD digits after 2000.
  const bool ok = t.year >= 2000 && t.year <= 2099 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                  t.day <= kDays[t.month - 1] + (t.month == 2 && IsLeap(t.year) ? 1 : 0) && t.hour >= 0 &&
                  t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
  if (!ok) throw UsageError("--start is not a date and time the recorder can hold (2000..2099)");
  return t;
}

int EstimatedPictures(const RecordingDescription& d) {
  if (d.pictureCount > 0) return d.pictureCount;
  const int interval = std::max(1, (d.minIntervalMs + d.maxIntervalMs) / 2);
  return d.durationMs / interval + 1;
}

}  // namespace

void ApplyFault(const std::string& name, RecordingDescription& d) {
  const int n = EstimatedPictures(d);
  Faults& f = d.faults;
  if (name == "garbage") {
    f.garbageAfterPicture = n / 2;
  } else if (name == "older-tail") {
    f.olderTailPictures = 20;
  } else if (name == "truncated") {
    f.truncateLastBlockBytes = 3000;
  } else if (name == "missing-fragment") {
    f.missingFragmentPicture = std::max(1, n / 3);
    f.missingFragmentNumber = 2;
  } else if (name == "no-end-marker") {
    f.noEndMarkerPicture = std::max(1, n * 2 / 3);
  } else if (name == "other-version") {
    d.version = archive::FormatVersion{0x03, 0x02};
  } else if (name == "tick-wrap") {
    f.tickWrapAfterMs = (d.pictureCount > 0 ? d.pictureCount * 35 : d.durationMs) / 2;
  } else if (name == "invalid-date") {
    f.invalidDateFirst = std::max(1, n / 4);
    f.invalidDateCount = 28;
  } else if (name == "collision") {
    f.collidePicture = std::max(1, n / 2 + 3);
    f.collisionCount = 2;
  } else {
    throw UsageError("unknown fault " + name);
  }
}

WriteOptions ParseWriteOptions(const std::vector<std::wstring>& args) {
  WriteOptions o;
  std::vector<std::string> faults;
  int seconds = -1;
  bool idGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    const auto value = [&]() -> const std::wstring& {
      if (i + 1 >= args.size()) throw UsageError(ToUtf8(a) + " needs a value");
      return args[++i];
    };
    if (a == L"--start") {
      o.description.start = ParseStart(value());
    } else if (a == L"--seconds") {
      seconds = static_cast<int>(Number(value(), 0, 1100, "--seconds"));
    } else if (a == L"--pictures") {
      o.description.pictureCount = static_cast<int>(Number(value(), 1, 100000, "--pictures"));
    } else if (a == L"--seed") {
      o.description.seed = static_cast<uint32_t>(Number(value(), 0, 4294967295LL, "--seed"));
    } else if (a == L"--id") {
      o.description.archiveId = static_cast<uint32_t>(Number(value(), 0, 4294967295LL, "--id"));
      idGiven = true;
    } else if (a == L"--tick") {
      o.description.startTick = static_cast<uint32_t>(Number(value(), 0, 4294967295LL, "--tick"));
    } else if (a == L"--fault") {
      // One name, or several separated by commas; more names may follow as plain words.
      std::string names = ToUtf8(value());
      while (i + 1 < args.size() && args[i + 1].compare(0, 2, L"--") != 0 && !o.path.empty()) {
        names += "," + ToUtf8(args[++i]);
      }
      size_t start = 0;
      while (start <= names.size()) {
        const size_t comma = std::min(names.find(',', start), names.size());
        if (comma > start) faults.push_back(names.substr(start, comma - start));
        start = comma + 1;
      }
    } else if (a == L"--fast") {
      o.description.mode = PictureMode::Fast;
    } else if (a == L"--quality") {
      o.description.jpegQuality = static_cast<int>(Number(value(), 1, 100, "--quality"));
    } else if (a == L"--target-bytes") {
      o.description.targetJpegBytes = static_cast<int>(Number(value(), 1000, 80000, "--target-bytes"));
    } else if (a == L"--detail") {
      o.description.detail = static_cast<double>(Number(value(), 0, 100, "--detail")) / 100.0;
    } else if (a == L"--switch") {
      o.description.switchPressesMs.push_back(static_cast<int>(Number(value(), 0, 1100000, "--switch")));
    } else if (a == L"--sound-offset") {
      o.description.soundOffsetMs = static_cast<int>(Number(value(), -10000, 10000, "--sound-offset"));
    } else if (a == L"--no-sound") {
      o.description.sound = false;
    } else if (a.compare(0, 2, L"--") == 0) {
      throw UsageError("unknown option " + ToUtf8(a));
    } else if (o.path.empty()) {
      o.path = a;
    } else {
      throw UsageError("more than one output file");
    }
  }
  if (o.path.empty()) throw UsageError("no output file");
  if (seconds >= 0) o.description.durationMs = seconds * 1000;
  if (!idGiven) o.description.archiveId = 0x00010000u + (o.description.seed & 0xFFFFu);
  for (const std::string& name : faults) ApplyFault(name, o.description);
  return o;
}

std::vector<std::string> DescribeFaults(const RecordingDescription& d, const RecordingManifest& m) {
  std::vector<std::string> notes;
  char line[200];
  const Faults& f = d.faults;
  for (const GarbageRecord& g : m.garbage) {
    std::snprintf(line, sizeof line, "garbage: %llu bytes at offset %llu", static_cast<unsigned long long>(g.size),
                  static_cast<unsigned long long>(g.offset));
    notes.push_back(line);
  }
  if (m.olderTailOffset != 0) {
    std::snprintf(line, sizeof line, "older recording (id 0x%08lX) from offset %llu",
                  static_cast<unsigned long>(m.olderTailId), static_cast<unsigned long long>(m.olderTailOffset));
    notes.push_back(line);
  }
  if (m.truncatedBytes != 0) {
    std::snprintf(line, sizeof line, "last block cut short by %llu bytes",
                  static_cast<unsigned long long>(m.truncatedBytes));
    notes.push_back(line);
  }
  for (const PictureRecord& p : m.pictures) {
    if (p.index == f.missingFragmentPicture) {
      if (static_cast<int>(p.blockOffsets.size()) < p.fragmentCount) {
        std::snprintf(line, sizeof line, "picture %d: fragment %d of %d left out", p.index, f.missingFragmentNumber,
                      p.fragmentCount);
      } else {
        std::snprintf(line, sizeof line, "picture %d has only %d fragment(s): nothing left out", p.index,
                      p.fragmentCount);
      }
      notes.push_back(line);
    }
    if (!p.endMarker) {
      std::snprintf(line, sizeof line, "picture %d: no end-of-image marker", p.index);
      notes.push_back(line);
    }
    if (p.version != d.version) {
      std::snprintf(line, sizeof line, "picture %d: format version %02X%02X", p.index, p.version.high, p.version.low);
      notes.push_back(line);
    }
  }
  if (d.version != archive::FormatVersion{}) {
    std::snprintf(line, sizeof line, "every picture: format version %02X%02X", d.version.high, d.version.low);
    notes.push_back(line);
  }
  if (f.tickWrapAfterMs >= 0) {
    std::snprintf(line, sizeof line, "tick counter wraps %d ms after the first picture", f.tickWrapAfterMs);
    notes.push_back(line);
  }
  if (f.invalidDateFirst >= 0) {
    std::snprintf(line, sizeof line, "pictures %d..%d: impossible dates", f.invalidDateFirst,
                  f.invalidDateFirst + std::max(1, f.invalidDateCount) - 1);
    notes.push_back(line);
  }
  if (f.collidePicture > 0) {
    std::snprintf(line, sizeof line, "pictures %d..%d: tick of the picture before them", f.collidePicture,
                  f.collidePicture + std::max(1, f.collisionCount) - 1);
    notes.push_back(line);
  }
  return notes;
}

}  // namespace recsim
