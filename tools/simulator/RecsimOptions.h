#pragma once
// The command line of `recsim write`, turned into a recording description. Kept apart
// from main so that tests can check the parsing and the placement of named faults.
#include <stdexcept>
#include <string>
#include <vector>

#include "RecorderSimulator.h"

namespace recsim {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct WriteOptions {
  std::wstring path;
  RecordingDescription description;
};

// Throws UsageError for anything it does not understand.
WriteOptions ParseWriteOptions(const std::vector<std::wstring>& args);

// Applies a named fault to the description at a spot that suits its length.
void ApplyFault(const std::string& name, RecordingDescription& description);

// One line per fault placed, saying where it went.
std::vector<std::string> DescribeFaults(const RecordingDescription& description, const RecordingManifest& manifest);

}  // namespace recsim
