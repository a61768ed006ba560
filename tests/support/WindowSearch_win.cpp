#include "WindowSearch_win.h"

#include <commctrl.h>

namespace {

struct Search {
  HWND except;
  HWND found;
};

BOOL CALLBACK TakeDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (window == search->except || !IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
  search->found = window;
  return FALSE;
}

struct ChildSearch {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK TakeChildOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ChildSearch*>(data);
  if (ClassName(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
  ChildSearch search{className, nullptr};
  EnumChildWindows(parent, TakeChildOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring SelectedTreeItemText(HWND tree) {
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (item.hItem == nullptr || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return L"";
  return text;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

HWND FindThreadDialog(DWORD thread, HWND except) {
  Search search{except, nullptr};
  EnumThreadWindows(thread, TakeDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
