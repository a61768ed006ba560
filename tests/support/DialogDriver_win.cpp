#include "DialogDriver_win.h"

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

}  // namespace

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

DialogDriver::DialogDriver(std::function<void(HWND)> steps, DWORD deadlineMs)
    : thread_(&DialogDriver::run, this, GetCurrentThreadId(), std::move(steps), deadlineMs) {}

DialogDriver::~DialogDriver() { thread_.join(); }

void DialogDriver::run(DWORD thread, std::function<void(HWND)> steps, DWORD deadlineMs) {
  HWND dialog = nullptr;
  if (WaitFor([&] { return (dialog = FindThreadDialog(thread)) != nullptr; }, deadlineMs)) {
    found_ = true;
    steps(dialog);
  }
  // Whatever the steps did, the modal loop must end.
  if (!WaitFor([&] { return !IsWindow(dialog); }, deadlineMs) && dialog != nullptr) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}
