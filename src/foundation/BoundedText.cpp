#include "foundation/BoundedText.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

template <typename Char, typename Length>
bool CopyImpl(Char* dest, size_t capacity, const Char* source, Length length) {
  if (dest == nullptr || capacity == 0) return false;
  const size_t n = source ? length(source) : 0;
  if (n >= capacity) {
    dest[0] = 0;
    return false;
  }
  if (n) std::memcpy(dest, source, n * sizeof(Char));
  dest[n] = 0;
  return true;
}

bool FormatV(wchar_t* dest, size_t units, const wchar_t* format, va_list args) {
  if (dest == nullptr || units == 0) return false;
  const int n = format ? std::vswprintf(dest, units, format, args) : -1;
  if (n < 0 || static_cast<size_t>(n) >= units) {
    dest[0] = 0;
    return false;
  }
  return true;
}

}  // namespace

bool CopyBounded(wchar_t* dest, size_t units, const wchar_t* source) {
  return CopyImpl(dest, units, source, std::wcslen);
}

bool CopyBounded(char* dest, size_t bytes, const char* source) {
  return CopyImpl(dest, bytes, source, std::strlen);
}

bool FormatInto(wchar_t* dest, size_t units, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const bool ok = FormatV(dest, units, format, args);
  va_end(args);
  return ok;
}

std::wstring FormatBounded(size_t units, const wchar_t* format, ...) {
  if (units == 0) return std::wstring();
  std::vector<wchar_t> buffer(units);
  va_list args;
  va_start(args, format);
  const bool ok = FormatV(buffer.data(), units, format, args);
  va_end(args);
  return ok ? std::wstring(buffer.data()) : std::wstring();
}
