#include "toolkit/ChooserSubclass_win.h"

namespace {

const wchar_t kReplacedProcedure[] = L"Pathscope.ReplacedProcedure";

// Hands the message to the procedure we replaced; on WM_DESTROY that procedure is put
// back first, so the window leaves as it came.
LRESULT Forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto replaced = reinterpret_cast<WNDPROC>(GetPropW(window, kReplacedProcedure));
  if (replaced == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_DESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));
    RemovePropW(window, kReplacedProcedure);
  }
  return CallWindowProcW(replaced, window, message, wParam, lParam);
}

// user32 calls these; nothing may unwind into it.
LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_HELP || message == WM_CONTEXTMENU) return 0;
    return Forward(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT CALLBACK TreeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_HELP) return 0;
    return Forward(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace

bool SubclassChooserPart(HWND window, ChooserPart part) {
  if (!IsWindow(window) || IsChooserPartSubclassed(window)) return false;
  const WNDPROC ours = part == ChooserPart::Dialog ? DialogProcedure : TreeProcedure;
  const LONG_PTR replaced = GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (replaced == 0 || !SetPropW(window, kReplacedProcedure, reinterpret_cast<HANDLE>(replaced))) return false;
  SetLastError(0);
  if (SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours)) == 0 && GetLastError() != 0) {
    RemovePropW(window, kReplacedProcedure);
    return false;
  }
  return true;
}

bool IsChooserPartSubclassed(HWND window) { return GetPropW(window, kReplacedProcedure) != nullptr; }
