#include "toolkit/Dialog_win.h"

#include <map>
#include <type_traits>

#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/Report_win.h"
#include "toolkit/Window_win.h"

namespace {

// Open dialog windows and their objects; nested modal dialogs each have an entry. Used
// on the interface thread only. Separate from the window registry: dialogs are not
// Window objects.
std::map<HWND, Dialog*>& DialogMap() {
  static std::map<HWND, Dialog*> map;
  return map;
}

}  // namespace

Dialog::~Dialog() {
  auto& map = DialogMap();
  const auto it = map.find(window_);
  if (it != map.end() && it->second == this) map.erase(it);
}

LPCWSTR Dialog::templateResource() const {
  return templateName_.empty() ? MAKEINTRESOURCEW(templateId_) : templateName_.c_str();
}

INT_PTR Dialog::ShowModal(HWND owner) {
  owner_ = owner;
  const HINSTANCE instance = ModuleInstance() ? ModuleInstance() : GetModuleHandleW(nullptr);
  static_assert(std::is_same<decltype(&Dialog::route), DLGPROC>::value, "the exact DLGPROC type");
  const INT_PTR result =
      DialogBoxParamW(instance, templateResource(), owner, &Dialog::route, reinterpret_cast<LPARAM>(this));
  if (result == -1) {
    const WindowException failure(static_cast<uint32_t>(GetLastError()));
    ReportWarning(owner, failure);
  }
  return result;
}

INT_PTR Dialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) EndDialog(window_, id);
  return TRUE;
}

void Dialog::CenterOver(HWND window, HWND reference) {
  RECT box;
  RECT ref;
  if (!GetWindowRect(window, &box) || !GetWindowRect(reference, &ref)) return;
  const int x = ref.left + ((ref.right - ref.left) - (box.right - box.left)) / 2;
  const int y = ref.top + ((ref.bottom - ref.top) - (box.bottom - box.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

Dialog* Dialog::lookup(HWND window) {
  const auto& map = DialogMap();
  const auto it = map.find(window);
  return it == map.end() ? nullptr : it->second;
}

INT_PTR CALLBACK Dialog::route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->window_ = window;
    DialogMap().emplace(window, dialog);
  }
  Dialog* const dialog = lookup(window);
  if (dialog == nullptr) return FALSE;  // before WM_INITDIALOG
  const INT_PTR result = deliver(*dialog, message, wParam, lParam);
  if (message == WM_DESTROY) DialogMap().erase(window);
  return result;
}

// No exception may unwind through the dialog manager: a failing handler's message gets
// FALSE and the failure waits for the message loop.
INT_PTR Dialog::deliver(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return dialog.DialogProc(message, wParam, lParam);
  } catch (...) {
    Window::parkCurrentFailure();
    return FALSE;
  }
}
