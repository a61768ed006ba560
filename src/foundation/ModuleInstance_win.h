#pragma once
// The module whose resources the program reads. Until start-up records it, the null
// handle is used, which addresses the running executable's own resources as well.
#include <windows.h>

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
