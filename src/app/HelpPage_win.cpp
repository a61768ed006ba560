#include "app/HelpPage_win.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/ResourceIds.h"
#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/PathLimits.h"
#include "toolkit/FindResourceData_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

[[noreturn]] void ThrowLastError() { throw WindowException(static_cast<uint32_t>(GetLastError())); }

// Called by the system for each resource of the type: only collects numbered ones, so
// nothing can fail inside it.
BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

std::vector<WORD> PictureIds() {
  std::vector<WORD> ids;
  EnumResourceNamesW(ModuleInstance(), RT_HTML, CollectId, reinterpret_cast<LONG_PTR>(&ids));
  std::vector<WORD> pictures;
  for (WORD id : ids) {
    if (id != IDH_HELP_PAGE) pictures.push_back(id);
  }
  return pictures;
}

void WriteResourceFile(WORD id, const std::wstring& path) {
  size_t size = 0;
  const void* data = FindResourceData(RT_HTML, MAKEINTRESOURCEW(id), &size);
  const HANDLE raw = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) ThrowLastError();
  ScopedKernelHandle file(raw);
  DWORD written = 0;
  if (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr)) ThrowLastError();
  if (written != size) throw WindowException(static_cast<uint32_t>(ERROR_WRITE_FAULT));
}

}  // namespace

std::wstring WriteHelpPage(const std::wstring& folder) {
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) ThrowLastError();
  for (WORD id : PictureIds()) WriteResourceFile(id, folder + std::to_wstring(id) + L".png");
  const std::wstring page = folder + L"index.html";
  WriteResourceFile(IDH_HELP_PAGE, page);
  return page;
}

std::wstring HelpPageFolder() {
  wchar_t temp[kPathUnits] = {};
  const DWORD n = GetTempPathW(static_cast<DWORD>(kPathUnits), temp);
  if (n == 0 || n >= kPathUnits) ThrowLastError();
  std::wstring folder(temp, n);
  if (folder.back() != L'\\') folder += L'\\';
  return folder + L"Pathscope Help\\";
}

void OpenHelpPage() {
  const std::wstring page = WriteHelpPage(HelpPageFolder());
  const HINSTANCE result = ShellExecuteW(nullptr, nullptr, page.c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32) ThrowLastError();
}
