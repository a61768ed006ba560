#pragma once
// The version text of an executable's version resource.
#include <string>

// The version of the file at `modulePath` ("1.0.0" for a FileVersion of "1, 0, 0, 0"),
// taken from the first translation of its version resource that has a FileVersion;
// text 5002 when the file has no version resource or no FileVersion.
std::wstring VersionTextOf(const std::wstring& modulePath);

// The same for the running program's own module.
std::wstring VersionText();
