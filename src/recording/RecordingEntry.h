#pragma once
// One recording archive of a folder: its path and the start time from its header.
#include <cstdint>
#include <string>

struct RecordingEntry {
  std::wstring path;      // folder and file name
  int64_t startTime = 0;  // calendar time of the archive header, 0 if its date is invalid
};
