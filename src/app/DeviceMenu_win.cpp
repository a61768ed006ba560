#include "app/DeviceMenu_win.h"

#include "app/ResourceIds.h"
#include "devicedialogs/DeviceCommands_win.h"

bool RunDeviceMenuCommand(DeviceCommands& commands, WORD id, HWND owner) {
  switch (id) {
    case IDM_DEVICE_SETTINGS:
      commands.RunSettings(owner);
      return true;
    case IDM_DATE_TIME:
      commands.RunDateTime(owner);
      return true;
    case IDM_RESTORE_CARD:
      commands.RunRestore(owner);
      return true;
    default:
      return false;
  }
}
