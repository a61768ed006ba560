// The program's entry point. The command line is ignored.
#include <windows.h>

#include "app/Application_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return StartApplication(instance, showCommand);
}
