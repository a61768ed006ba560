#include "DialogTemplate_win.h"

namespace {

// A cursor over the template's 16-bit units that never reads past the end.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  WORD word() {
    if (pos_ + 2 > size_) {
      ok_ = false;
      return 0;
    }
    const WORD w = static_cast<WORD>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return w;
  }
  DWORD dword() {
    const DWORD low = word();
    return low | static_cast<DWORD>(word()) << 16;
  }
  std::wstring string() {
    std::wstring s;
    for (WORD w = word(); ok_ && w != 0; w = word()) s += static_cast<wchar_t>(w);
    return s;
  }
  // A name or an ordinal; ordinals of the predefined control classes become names.
  std::wstring nameOrOrdinal() {
    const WORD first = word();
    if (first == 0) return std::wstring();
    if (first == 0xFFFF) return OrdinalName(word());
    std::wstring s(1, static_cast<wchar_t>(first));
    return s + string();
  }
  void alignToDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
  void skip(size_t bytes) { pos_ += bytes; }

 private:
  static std::wstring OrdinalName(WORD ordinal) {
    switch (ordinal) {
      case 0x80: return L"Button";
      case 0x81: return L"Edit";
      case 0x82: return L"Static";
      case 0x83: return L"ListBox";
      case 0x84: return L"ScrollBar";
      case 0x85: return L"ComboBox";
      default: return L"#" + std::to_wstring(ordinal);
    }
  }

  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

DialogItem ReadItem(Reader& r) {
  r.alignToDword();
  DialogItem item;
  item.style = r.dword();
  r.dword();  // extended style
  item.x = static_cast<short>(r.word());
  item.y = static_cast<short>(r.word());
  item.cx = static_cast<short>(r.word());
  item.cy = static_cast<short>(r.word());
  item.id = static_cast<short>(r.word());
  item.className = r.nameOrOrdinal();
  item.text = r.nameOrOrdinal();
  r.skip(r.word());  // creation data
  return item;
}

}  // namespace

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out) {
  Reader r(static_cast<const BYTE*>(data), size);
  out = DialogTemplate();
  out.style = r.dword();
  r.dword();  // extended style
  const WORD count = r.word();
  r.word();  // x
  r.word();  // y
  out.cx = static_cast<short>(r.word());
  out.cy = static_cast<short>(r.word());
  r.nameOrOrdinal();  // menu
  r.nameOrOrdinal();  // class
  out.caption = r.string();
  if (out.style & DS_SETFONT) {
    out.fontSize = r.word();
    out.fontFace = r.string();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) out.items.push_back(ReadItem(r));
  return r.ok() && out.items.size() == count;
}
