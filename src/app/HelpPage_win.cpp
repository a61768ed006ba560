#include "app/HelpPage_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
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

// True when `path` already holds exactly these bytes: a second viewer's page, or one a
// browser still reads, needs no writing (and may be held where writing would fail).
bool HoldsAlready(const std::wstring& path, const void* data, size_t size) {
  const HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return false;
  ScopedKernelHandle file(raw);
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length) || static_cast<uint64_t>(length.QuadPart) != size) return false;
  std::vector<char> held(size);
  DWORD got = 0;
  if (size > 0 && !ReadFile(file.get(), held.data(), static_cast<DWORD>(size), &got, nullptr)) return false;
  return got == size && (size == 0 || std::memcmp(held.data(), data, size) == 0);
}

// Written with reading shared, so that a browser may open the page while it is written.
void WriteResourceFile(WORD id, const std::wstring& path) {
  size_t size = 0;
  const void* data = FindResourceData(RT_HTML, MAKEINTRESOURCEW(id), &size);
  if (HoldsAlready(path, data, size)) return;
  const HANDLE raw = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
