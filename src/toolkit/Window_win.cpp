#include "toolkit/Window_win.h"

#include <map>

#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"

namespace {

// Interface thread only, so no lock.
ATOM g_defaultClass = 0;
std::map<HWND, Window*>& Registry() {
  static std::map<HWND, Window*> registry;
  return registry;
}
std::exception_ptr g_pendingFailure;

}  // namespace

HINSTANCE Window::classInstance() {
  HINSTANCE instance = ModuleInstance();
  return instance ? instance : GetModuleHandleW(nullptr);
}

ATOM Window::defaultClass() { return g_defaultClass; }

Window::Window() {
  if (g_defaultClass != 0) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = classInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"DefaultWindow";
  const ATOM atom = RegisterClassExW(&wc);
  if (atom == 0) throw WindowException(static_cast<uint32_t>(GetLastError()));
  g_defaultClass = atom;
}

Window::~Window() {
  if (handle_ == nullptr) return;
  auto& registry = Registry();
  const auto it = registry.find(handle_);
  if (it == registry.end() || it->second != this) return;
  // Still bound: the object goes before its window does.
  registry.erase(it);
  restorePrevious();
}

void Window::restorePrevious() {
  if (previous_ == nullptr || previous_ == &Window::route || !IsWindow(handle_)) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle_, GWLP_WNDPROC)) == &Window::route) {
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  }
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return defaultHandling(message, wParam, lParam);
}

LRESULT Window::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previous_ != nullptr && previous_ != &Window::route) {
    return CallWindowProcW(previous_, handle_, message, wParam, lParam);
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

void Window::create(const WindowCreateParams& p) {
  const HWND handle = CreateWindowExW(p.exStyle, p.className, p.title, p.style, p.x, p.y, p.width,
                                      p.height, p.parent, p.menu, p.instance, p.param);
  if (handle == nullptr) throw WindowException(static_cast<uint32_t>(GetLastError()));
  bind(handle);
}

void Window::attach(HWND handle) {
  handle_ = handle;
  if (handle != nullptr) bind(handle);
}

void Window::bind(HWND handle) {
  handle_ = handle;
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::route)));
  // A handle bound already keeps its first object.
  Registry().emplace(handle, this);
}

Window* Window::lookup(HWND handle) {
  const auto& registry = Registry();
  const auto it = registry.find(handle);
  return it == registry.end() ? nullptr : it->second;
}

bool Window::isEnabled() const {
  return (GetWindowLongW(handle_, GWL_STYLE) & WS_DISABLED) == 0;
}

void Window::setEnabled(bool enabled) {
  if (isEnabled() == enabled) return;
  EnableWindow(handle_, enabled ? TRUE : FALSE);
  InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
}

void Window::rethrowPendingFailure() {
  if (!g_pendingFailure) return;
  std::exception_ptr failure = g_pendingFailure;
  g_pendingFailure = nullptr;
  std::rethrow_exception(failure);
}

void Window::parkCurrentFailure() {
  if (!g_pendingFailure) g_pendingFailure = std::current_exception();
}

LRESULT CALLBACK Window::route(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* const object = lookup(handle);
  if (object == nullptr) return DefWindowProcW(handle, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = object->handleMessage(message, wParam, lParam);
  } catch (...) {
    parkCurrentFailure();
    result = 0;
  }
  if (message == WM_DESTROY) {
    // The handler has run to its end; the object goes now. What follows for this
    // handle (WM_NCDESTROY) reaches the procedure the window had before it was bound:
    // DefWindowProcW for "DefaultWindow", and for a control its own procedure, which
    // frees the control's data there.
    Registry().erase(handle);
    if (object->handle_ == handle) object->restorePrevious();
    if (object->deletionHolds_ > 0) {
      object->windowDestroyed_ = true;  // deleted when the last hold ends
    } else {
      delete object;
    }
  }
  return result;
}

bool Window::releaseDeletion() {
  if (--deletionHolds_ > 0 || !windowDestroyed_) return false;
  delete this;
  return true;
}
