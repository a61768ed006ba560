#include "devicedialogs/DialogMutex_win.h"

#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

const wchar_t DialogMutex::kName[] = L"HALCYON_VIEWER";

DialogMutex::DialogMutex(HWND owner) {
  const HANDLE handle = CreateMutexW(nullptr, TRUE, kName);
  if (handle == nullptr) return;  // no guard, but nothing to warn about either
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ReleaseMutex(handle);
    CloseHandle(handle);
    ReportWarning(owner, LoadText(kTextDialogOpenElsewhere));
    return;
  }
  // Only the name matters to other viewers; the ownership itself is given up at once.
  ReleaseMutex(handle);
  handle_ = handle;
}

DialogMutex::~DialogMutex() {
  if (handle_ != nullptr) CloseHandle(handle_);
}
