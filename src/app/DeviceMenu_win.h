#pragma once
// The main window's command ids of the recorder's card (the settings and date/time menu
// items, and the restore that only a WM_COMMAND sends), each mapped to its device command.
#include <windows.h>

class DeviceCommands;

// Runs the device command that `id` names, owned by `owner`; false, with nothing run,
// when `id` is none of the three.
bool RunDeviceMenuCommand(DeviceCommands& commands, WORD id, HWND owner);
