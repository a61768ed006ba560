#pragma once
// The operating system's version, examined once at start-up and kept for its readers
// (the start-up check, the main window's first size, the folder chooser).
#include <windows.h>

// Asks the system for its version as QuerySystemVersion does and keeps the record;
// false when the system gave no answer (the kept record is then all zero).
bool KeepSystemVersion();

// The kept record: all zero before KeepSystemVersion or when the system gave no answer.
const OSVERSIONINFOEXW& SystemVersion();

// Asks the system and fills `record` (the extended record, else the basic one); false
// when neither form of the call answers.
bool QuerySystemVersion(OSVERSIONINFOEXW& record);
