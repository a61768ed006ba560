#pragma once
// The version the about box shows, made from the FileVersion text of the version
// resource.
#include <string>

// Keeps the digits of `fileVersion`, turns the first two commas into dots and stops at
// the third comma; every other character is dropped. "1, 0, 0, 0" gives "1.0.0".
std::wstring VersionTextFromFileVersion(const std::wstring& fileVersion);
