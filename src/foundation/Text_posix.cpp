// The host build's text lookup: the same table the Windows string table is made from,
// and the Japanese code page 932 for the byte-string conversions, as on the target.
#include "foundation/Text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace {

struct Entry {
  unsigned id;
  const wchar_t* text;
};

const Entry kTable[] = {
#include "StringTableData.inc"
};

// Converts with iconv. Like the Windows conversions it never fails: an input unit it
// cannot convert (`unit` bytes long) becomes `replacement`.
std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t unit,
                    const std::string& replacement) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  char* in = const_cast<char*>(data);
  size_t inLeft = size;
  char buffer[1024];
  while (inLeft > 0) {
    char* dst = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      const size_t skip = std::min(unit, inLeft);
      in += skip;
      inLeft -= skip;
      out += replacement;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::wstring LoadText(unsigned id) {
  const auto* end = std::end(kTable);
  const auto* it = std::find_if(std::begin(kTable), end, [id](const Entry& e) { return e.id == id; });
  return it == end ? std::wstring() : std::wstring(it->text);
}

std::wstring LoadTextAnsi(unsigned id) { return ToWide(ToNarrow(LoadText(id))); }

std::wstring ToWide(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const wchar_t dot = 0x30FB;  // what Windows shows for a byte code page 932 lacks
  const std::string raw = Convert("WCHAR_T", "CP932", bytes.data(), bytes.size(), 1,
                                  std::string(reinterpret_cast<const char*>(&dot), sizeof dot));
  return std::wstring(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
}

std::string ToNarrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  return Convert("CP932", "WCHAR_T", reinterpret_cast<const char*>(wide.data()),
                 wide.size() * sizeof(wchar_t), sizeof(wchar_t), "?");
}
