#pragma once
// Exports a run of a loaded recording's slots as a clip: OUT.avi (the pictures as MJPG
// at 28 a second, the stored JPEG bytes unchanged unless the time band is burned in, and
// the sound's samples of the same time), OUT.csv (one row a slot) and OUT.sha256 (the
// clip, the table and the source archive in the form `sha256sum -c` reads). All three
// are written under temporary names beside the clip and renamed at the end; a failure
// or a stop removes them.
#include <cstdint>
#include <string>

#include "export/IClipProgress.h"

class VideoArchive;

struct ClipRequest {
  std::wstring archivePath;  // the recording's file, named so in the hash list
  std::wstring clipPath;     // OUT.avi
  int first = 0;             // slots, both included; last -1: the recording's last slot
  int last = -1;
  bool overlay = false;
  int64_t partLimit = int64_t(1) << 30;  // largest RIFF part (the tests set less)
};

enum class ClipOutcome { kWritten, kCancelled };

// Throws Exception (text to show) when the range is outside the recording, no picture
// of it can be read, or a file cannot be written. `progress` may be null.
ClipOutcome ExportClip(VideoArchive& archive, const ClipRequest& request, IClipProgress* progress);

// The file beside the clip with the clip's name and `extension` (".csv", ".sha256").
std::wstring BesideClip(const std::wstring& clipPath, const std::wstring& extension);
// Temporary name of `path` while it is written.
std::wstring PartialName(const std::wstring& path);
