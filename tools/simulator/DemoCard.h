#pragma once
// The demo memory card: a handful of drives over several days, written into one folder
// under the recorder's file names, with the device settings and firmware information
// files beside them.
#include <cstdint>
#include <string>
#include <vector>

#include "RecorderSimulator.h"

namespace recsim {

struct CardFile {
  std::wstring name;      // file name inside the card folder
  uint64_t size = 0;
  int pictures = 0;       // recordings only
  int soundBlocks = 0;
  LocalDateTime start;    // recordings only
};

class DemoCard {
 public:
  struct Recording {
    std::wstring name;  // e.g. L"0001_001.DAT"
    RecordingDescription description;
  };

  // The recordings of the card, in recording order.
  static std::vector<Recording> Plan();

  // Writes every recording and both device files into `folder` (created if missing).
  // Throws std::runtime_error when a file cannot be written.
  static std::vector<CardFile> Write(const std::wstring& folder);
  // The same with recordings of the caller's choosing.
  static std::vector<CardFile> Write(const std::wstring& folder, const std::vector<Recording>& plan);

  // The device files written beside the recordings.
  static std::vector<uint8_t> SettingsFile();
  static std::vector<uint8_t> FirmInfoFile();
};

}  // namespace recsim
