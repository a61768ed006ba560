#pragma once
// Helpers of the cabinet and restore tests under Wine.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "DeviceTestFiles.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

// A Unix path of the build machine as Wine sees it (the root is drive Z:).
inline std::wstring FromBuildMachine(const std::string& unixPath) {
  std::wstring w = L"Z:";
  for (char c : unixPath) w += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return w;
}

// The message of the IOException `action` raises, or a marker when it raises none.
inline std::wstring IOFailure(const std::function<void()>& action) {
  try {
    action();
  } catch (const IOException& e) {
    return e.message;
  }
  return L"(no IOException)";
}

// Every file and folder under `dir`, relative and sorted.
inline std::set<std::wstring> Listing(const std::filesystem::path& dir) {
  std::set<std::wstring> names;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    names.insert(std::filesystem::relative(it->path(), dir).wstring());
  return names;
}

inline bool IsCabinetMessage(const std::wstring& message) {
  for (unsigned id = kTextCabinetNotCabinetError; id <= kTextSomeExtractsFailed; ++id)
    if (!message.empty() && message == LoadText(id)) return true;
  return false;
}

// The message of the Exception `action` raises, or a marker when it raises none.
inline std::wstring Failure(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.message;
  }
  return L"(no exception)";
}

// The temporary cabinets the restore makes in "C:\Temp".
inline std::set<std::wstring> TemporaryCabinets() {
  std::set<std::wstring> names;
  for (const std::wstring& name : Listing("C:\\Temp"))
    if (name.size() > 3 && _wcsnicmp(name.c_str(), L"cab", 3) == 0) names.insert(name);
  return names;
}

inline DWORD Attributes(const std::filesystem::path& path) { return GetFileAttributesW(path.wstring().c_str()); }
