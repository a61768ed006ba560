#pragma once
// One picture (or, while an archive is scanned, one sound block) of a recording: the
// values its block header carries and where its content lies in the archive file. The
// timeline of a loaded archive holds one per slot.
#include <cstdint>
#include <string>

#include "recording/ArchiveFormat.h"

struct FrameEntry {
  uint32_t status = 0;      // block header byte 33
  int32_t shortValue = 0;   // the 4-digit value
  int32_t reserved1 = 0;
  int64_t time = 0;         // calendar time of the picture, or the last valid one before it
  double gX = 0, gY = 0, gZ = 0;
  double gTotal = 0;        // combined G, at most 2.0
  int32_t speed = 0;        // km/h, 0..180
  int32_t value1 = 0;       // the first 8-digit value
  int32_t value2 = 0;       // the second 8-digit value
  int32_t reserved2 = 0;
  int32_t event = 0;        // 0x20 marks an event picture
  int32_t blockSize = 0;    // of the block that starts the entry
  int32_t payloadSize = 0;  // tag and JPEG bytes (pictures) or sound bytes
  int64_t tick = 0;         // widened millisecond counter
  // Content start of each fragment. Held in 64 bits so that archives beyond 2 GiB keep
  // exact positions instead of wrapping.
  int64_t fragmentPos[archive::kMaxFragments] = {};
  int32_t fragmentCount = 0;
  uint8_t type = 0;         // 0x55 picture, 0xAA sound
  std::wstring sourcePath;  // file of a thumbnail entry; never filled by a load
  int32_t firstFragment = 0;
  uint32_t archiveId = 0;
  bool complete = false;    // every fragment seen and the end-of-image marker found
  bool copy = false;        // made to fill a timeline gap, not read from the file

  // The copy that fills a timeline gap: every field but the source path, no event.
  FrameEntry GapCopy() const {
    FrameEntry c = *this;
    c.sourcePath.clear();
    c.event = 0;
    c.copy = true;
    return c;
  }
};
