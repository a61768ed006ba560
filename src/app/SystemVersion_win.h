#pragma once
// The operating system's version, examined once at start-up and kept for its readers
// (the main window's first size, the folder chooser).
#include <windows.h>

// Asks the system for its version (the extended record, else the basic one), shows a
// warning when the version cannot be identified or is older than XP, and keeps the
// record. The start goes on in every case.
void CheckOperatingSystem();

// The kept record: all zero before the check or when the system gave no answer.
const OSVERSIONINFOEXW& SystemVersion();

// Asks the system and fills `record`; false when neither form of the call answers.
bool QuerySystemVersion(OSVERSIONINFOEXW& record);
