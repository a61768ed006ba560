#include "recording/FormatVersionText.h"

#include <algorithm>
#include <cstdint>

namespace archive {

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The range of a 32-bit long: strtol saturates there.
constexpr int64_t kLongMax = 0x7FFFFFFF;
constexpr int64_t kLongMinMagnitude = 0x80000000;

}  // namespace

FormatVersion FormatVersionFromText(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  // "0x" counts as a prefix only when a digit follows; otherwise the "0" is the number.
  if (i + 2 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
      HexDigit(text[i + 2]) >= 0) {
    i += 2;
  }
  int64_t magnitude = 0;
  bool anyDigit = false;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    anyDigit = true;
    if (magnitude <= kLongMinMagnitude) magnitude = magnitude * 16 + HexDigit(text[i]);
  }
  if (!anyDigit) return FormatVersion();
  const int64_t value = negative ? -std::min(magnitude, kLongMinMagnitude) : std::min(magnitude, kLongMax);
  if (value > 0xFFFF) return FormatVersion();
  FormatVersion version;
  const uint32_t bits = static_cast<uint32_t>(value);
  version.high = static_cast<uint8_t>((bits >> 8) & 0xFF);
  version.low = static_cast<uint8_t>(bits & 0xFF);
  return version;
}

}  // namespace archive
