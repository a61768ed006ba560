#pragma once
// What a drop on the main window opens: the first of the dropped paths that is a
// recording file (a name ending ".dat", any case) or a folder holding recordings, whose
// first recording in time order it opens. Nothing for anything else.
#include <optional>
#include <string>
#include <vector>

std::optional<std::wstring> DroppedRecording(const std::vector<std::wstring>& paths);
