#include "toolkit/FindResourceData_win.h"

#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"

const void* FindResourceData(const wchar_t* type, const wchar_t* name, size_t* size) {
  HMODULE module = ModuleInstance();
  HRSRC found = FindResourceW(module, name, type);
  if (!found) throw WindowException(GetLastError());
  DWORD bytes = SizeofResource(module, found);
  if (bytes == 0) throw WindowException(GetLastError());
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) throw WindowException(GetLastError());
  const void* data = LockResource(loaded);
  if (!data) throw WindowException(GetLastError());
  if (size) *size = bytes;
  return data;
}
