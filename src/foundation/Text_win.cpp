#include "foundation/Text.h"

#include <windows.h>

#include <vector>

#include "foundation/ModuleInstance_win.h"

namespace {
constexpr int kTextBufferUnits = 2048;
}

std::wstring LoadText(unsigned id) {
  wchar_t buffer[kTextBufferUnits];
  const int n = LoadStringW(ModuleInstance(), id, buffer, kTextBufferUnits);
  if (n <= 0) return std::wstring();
  return std::wstring(buffer, static_cast<size_t>(n));
}

std::wstring LoadTextAnsi(unsigned id) {
  char buffer[kTextBufferUnits];
  const int n = LoadStringA(ModuleInstance(), id, buffer, kTextBufferUnits);
  if (n <= 0) return std::wstring();
  return ToWide(std::string(buffer, static_cast<size_t>(n)));
}

std::wstring ToWide(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, bytes.data(), length, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  const int written = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, bytes.data(), length, &out[0], n);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

std::string ToNarrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  const int written = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &out[0], n, nullptr, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}
