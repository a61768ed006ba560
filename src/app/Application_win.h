#pragma once
// The program's start: the process settings, COM and the common controls, the values
// read from the executable, the first window and the message loop.
#include <windows.h>

// Process settings made before anything else: no critical-error or open-file boxes of
// the system, "C:\" as the current directory, and a runtime invalid-parameter handler
// that does nothing (a bounded copy that does not fit then leaves its target empty
// instead of ending the process).
void PrepareProcess();

// CoInitialize; a failure (S_FALSE, already initialised, is none) throws
// SystemException with 5054.
void InitialiseCom();

// Every common-control class; failure throws SystemException with 5055.
void InitialiseCommonControls();

// Records the instance handle, the application name and the format version.
void RecordStartValues(HINSTANCE instance);

// Records the start values, creates and shows the top-level window and runs the
// message loop until it is destroyed; returns the quit code.
int RunApplication(HINSTANCE instance, int showCommand);

// The whole start, as the entry point runs it: returns the process exit code, 0 after
// a normal end and 1 after a failure that was reported as fatal.
int StartApplication(HINSTANCE instance, int showCommand);
