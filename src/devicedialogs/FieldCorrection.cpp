#include "devicedialogs/FieldCorrection.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>

int CorrectedFieldValue(const std::wstring& text, int low, int high, int last) {
  const wchar_t* start = text.c_str();
  wchar_t* end = nullptr;
  errno = 0;
  const long value = std::wcstol(start, &end, 10);
  if (end == start) return last;  // no digits at all (empty, blank, "x7")
  for (const wchar_t* rest = end; *rest != L'\0'; ++rest)
    if (!std::iswspace(static_cast<wint_t>(*rest))) return last;
  // An overlong number saturates, which lands on the nearer limit as it should.
  if (value < low) return low;
  if (value > high) return high;
  return static_cast<int>(value);
}
