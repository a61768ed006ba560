#include "foundation/SystemErrorText.h"

#include <windows.h>

bool SystemErrorText(uint32_t code, std::wstring& text) {
  wchar_t buffer[1024];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer,
                                 static_cast<DWORD>(sizeof buffer / sizeof buffer[0]), nullptr);
  if (n == 0) return false;
  text.assign(buffer, n);
  return true;
}
