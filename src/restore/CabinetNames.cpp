#include "restore/CabinetNames.h"

#include <cwctype>

#include "foundation/TextIds.h"

namespace {

constexpr size_t kMaxNameUnits = 255;

bool IsReservedDeviceName(const std::wstring& name) {
  // The device names Windows resolves in every folder, also with an extension and
  // with spaces before it ("NUL.txt", "CON .log").
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (wchar_t& c : base) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  static const wchar_t* const kFixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
  for (const wchar_t* fixed : kFixed)
    if (base == fixed) return true;
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
    const wchar_t digit = base[3];
    // Windows also treats the superscript digits 1, 2 and 3 as port numbers.
    return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
  }
  return false;
}

}  // namespace

bool IsSafeMemberName(const std::wstring& name) {
  if (name.empty() || name.size() > kMaxNameUnits) return false;
  for (wchar_t c : name) {
    if (static_cast<unsigned long>(c) < 0x20) return false;
    switch (c) {
      case L'<': case L'>': case L':': case L'"': case L'/': case L'\\': case L'|': case L'?': case L'*':
        return false;
      default:
        break;
    }
  }
  // "." and ".." fall here too: a trailing dot.
  if (name.back() == L'.' || name.back() == L' ') return false;
  return !IsReservedDeviceName(name);
}

unsigned CabinetErrorTextId(int code) {
  if (code >= 0 && code <= 11) return kTextCabinetNotCabinetError + static_cast<unsigned>(code);
  return kTextCabinetUndefined;
}
