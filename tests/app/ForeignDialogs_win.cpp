#include "ForeignDialogs_win.h"

#include <commctrl.h>

#include <vector>

#include "WindowSearch_win.h"
#include "RemoteMemory_win.h"
#include "ViewerDriver_win.h"

namespace {

struct Owned {
  DWORD process;
  std::vector<HWND> windows;
};

BOOL CALLBACK TakeOwned(HWND window, LPARAM data) {
  auto* owned = reinterpret_cast<Owned*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == owned->process && IsWindowVisible(window) && IsWindowEnabled(window) &&
      ClassName(window) == L"#32770") {
    owned->windows.push_back(window);
  }
  return TRUE;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

}  // namespace

HWND AwaitProcessDialog(DWORD process, ModalKind kind, HWND except, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] {
    Owned owned{process, {}};
    EnumWindows(TakeOwned, reinterpret_cast<LPARAM>(&owned));
    for (HWND window : owned.windows) {
      if (window != except && KindOf(window) == kind) {
        found = window;
        return true;
      }
    }
    return false;
  }, timeoutMs);
  return found;
}

HWND ChooserTree(HWND chooser) { return FindChildOfClass(chooser, L"SysTreeView32"); }

std::wstring SelectedTreeText(HWND tree) {
  if (tree == nullptr) return L"";
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return L"";
  // The item structure, and after it the room for its text.
  RemoteMemory memory(ProcessOf(tree), sizeof(TVITEMW) + MAX_PATH * sizeof(wchar_t));
  TVITEMW request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = static_cast<wchar_t*>(memory.at(sizeof(TVITEMW)));
  request.cchTextMax = MAX_PATH;
  wchar_t text[MAX_PATH] = {};
  if (!memory.write(&request, sizeof request) || !SendMessageW(tree, TVM_GETITEMW, 0, memory.param()) ||
      !memory.read(text, sizeof text - sizeof(wchar_t), sizeof(TVITEMW))) {
    return L"";
  }
  return text;
}

bool PickerDate(HWND picker, SYSTEMTIME& date) {
  RemoteMemory memory(ProcessOf(picker), sizeof(SYSTEMTIME));
  return memory.ok() && SendMessageW(picker, DTM_GETSYSTEMTIME, 0, memory.param()) == GDT_VALID &&
         memory.read(&date, sizeof date);
}

void PostKey(HWND window, WPARAM key, int times) {
  for (int i = 0; i < times; ++i) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  }
}

void PostChars(HWND window, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

void ClickButton(HWND dialog, int id) { ViewerProcess::click(GetDlgItem(dialog, id)); }

bool IsChecked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring ControlText(HWND control) {
  wchar_t text[1024] = {};
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}
