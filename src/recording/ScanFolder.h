#pragma once
// Lists the recording archives of the folder that holds a given archive, ordered by
// their start time, and tells where the given archive stands among them.
#include <string>
#include <vector>

#include "recording/RecordingEntry.h"

struct FolderScanResult {
  int position = 0;  // of the entry that names the given file (recfiles::SamePath); 0 if none does
  int count = 0;
};

// True for the recorder's archive names: four digits, "_", three digits, ".DAT" (any case).
bool IsRecordingFileName(const std::wstring& name);

// Replaces `list` with the folder's archives. Throws VideoArchiveException (5510) when the
// folder cannot be listed, an archive cannot be opened or is shorter than 8 bytes, or
// the folder holds none.
FolderScanResult ScanFolder(const std::wstring& path, std::vector<RecordingEntry>& list);
