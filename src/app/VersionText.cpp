#include "app/VersionText.h"

std::wstring VersionTextFromFileVersion(const std::wstring& fileVersion) {
  std::wstring out;
  int commas = 0;
  for (wchar_t c : fileVersion) {
    if (c >= L'0' && c <= L'9') {
      out += c;
    } else if (c == L',') {
      if (++commas == 3) break;  // the build number is not shown
      out += L'.';
    }
  }
  return out;
}
