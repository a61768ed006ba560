#pragma once
// The start-up check of the operating system's version.

// Asks the system for its version and keeps the record (SystemVersion()), then shows a
// warning when the version cannot be identified or is older than XP. The start goes on
// in every case.
void CheckOperatingSystem();
