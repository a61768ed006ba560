#pragma once
// Folder part of a Windows path, as plain text.
#include <string>

// The text of `path` up to and including its last backslash (or slash): the folder a
// file path lies in. Empty when the path has no separator.
std::wstring FolderPart(const std::wstring& path);
