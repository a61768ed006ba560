#include "app/VersionResource_win.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "app/VersionText.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

struct Translation {
  WORD language;
  WORD codePage;
};

// The FileVersion text of the first translation that has one; false if none has.
bool FindFileVersion(const std::vector<BYTE>& block, std::wstring& fileVersion) {
  void* table = nullptr;
  UINT tableBytes = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &tableBytes)) return false;
  const auto* pairs = static_cast<const Translation*>(table);
  for (UINT i = 0; i < tableBytes / sizeof(Translation); ++i) {
    wchar_t query[256];
    swprintf(query, 256, L"\\StringFileInfo\\%04x%04x\\FileVersion", pairs[i].language, pairs[i].codePage);
    void* value = nullptr;
    UINT units = 0;
    if (VerQueryValueW(block.data(), query, &value, &units) && value != nullptr) {
      fileVersion = static_cast<const wchar_t*>(value);
      return true;
    }
  }
  return false;
}

}  // namespace

std::wstring VersionTextOf(const std::wstring& modulePath) {
  const std::wstring none = LoadText(kTextNoVersionInfo);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(modulePath.c_str(), &ignored);
  if (size == 0) return none;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(modulePath.c_str(), 0, size, block.data())) return none;
  std::wstring fileVersion;
  if (!FindFileVersion(block, fileVersion)) return none;
  return VersionTextFromFileVersion(fileVersion);
}

std::wstring VersionText() {
  wchar_t path[kPathUnits] = {};
  const DWORD n = GetModuleFileNameW(ModuleInstance(), path, static_cast<DWORD>(kPathUnits));
  if (n == 0 || n >= kPathUnits) return LoadText(kTextNoVersionInfo);
  return VersionTextOf(path);
}
