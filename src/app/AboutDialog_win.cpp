#include "app/AboutDialog_win.h"

#include <shellapi.h>

#include <cstdio>

#include "app/ProcessValues.h"
#include "app/ResourceIds.h"
#include "app/VersionResource_win.h"
#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/PathLimits.h"
#include "foundation/TextIds.h"
#include "toolkit/LinkLabel_win.h"

namespace {

HFONT CreateRightsFont() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return CreateFontW(-MulDiv(11, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH, L"Arial");
}

}  // namespace

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT), font_(CreateRightsFont()) {}

INT_PTR AboutDialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      initialise();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(handle(), LOWORD(wParam));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void AboutDialog::initialise() {
  SetDlgItemTextW(handle(), IDC_ABOUT_NAME, ApplicationName().c_str());
  wchar_t version[256] = {};
  swprintf(version, 256, L"Version %ls", VersionText().c_str());
  SetDlgItemTextW(handle(), IDC_ABOUT_VERSION, version);
  SendDlgItemMessageW(handle(), IDC_ABOUT_RIGHTS, WM_SETFONT,
                      reinterpret_cast<WPARAM>(font_.get()), TRUE);
  // The label deletes itself with its control. Its control stays hidden.
  new LinkLabel(GetDlgItem(handle(), IDC_ABOUT_LINK), [] { OpenSupportPage(); });
  Dialog::CenterOver(handle(), GetParent(handle()));
}

void OpenSupportPage() {
  wchar_t address[kPathUnits] = {};
  if (LoadStringW(ModuleInstance(), kTextSupportAddress, address, static_cast<int>(kPathUnits)) <= 0) {
    throw WindowException(GetLastError());
  }
  const HINSTANCE result =
      ShellExecuteW(nullptr, nullptr, address, nullptr, L"C:\\", SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32) throw WindowException(GetLastError());
}
