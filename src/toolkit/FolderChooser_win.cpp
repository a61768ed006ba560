#include "toolkit/FolderChooser_win.h"

#include <shlobj.h>

#include "foundation/PathLimits.h"
#include "foundation/Report_win.h"
#include "foundation/SystemVersion_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/ChooserSubclass_win.h"

namespace {

// BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON.
constexpr UINT kBrowseFlags = 0x249;
// A control of the chooser that is hidden on Windows 2000 (version 5.0).
constexpr int kControlHiddenOn50 = 14150;

// The owner, asked for as such: GetParent answers only for a chooser with the popup style.
void CentreOnOwner(HWND chooser) {
  const HWND parent = GetWindow(chooser, GW_OWNER);
  RECT p, c;
  if (parent == nullptr || !GetWindowRect(parent, &p) || !GetWindowRect(chooser, &c)) return;
  const int x = p.left + ((p.right - p.left) - (c.right - c.left)) / 2;
  const int y = p.top + ((p.bottom - p.top) - (c.bottom - c.top)) / 2;
  SetWindowPos(chooser, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HideControlOn50(HWND chooser) {
  const OSVERSIONINFOEXW& version = SystemVersion();
  if (version.dwMajorVersion != 5 || version.dwMinorVersion != 0) return;
  const HWND control = GetDlgItem(chooser, kControlHiddenOn50);
  if (control == nullptr) return;
  ShowWindow(control, SW_HIDE);
  UpdateWindow(control);
}

HWND FindTree(HWND chooser) {
  const HWND space = FindWindowExW(chooser, nullptr, L"SHBrowseForFolder ShellNameSpace Control", nullptr);
  return FindWindowExW(space ? space : chooser, nullptr, L"SysTreeView32", nullptr);
}

void PrepareChooser(HWND chooser, const wchar_t* initialPath) {
  // The chooser may still be building its tree when it announces itself, and then misses
  // a selection made now; the posted repeat comes once it stands. The path outlives both:
  // it belongs to the caller, who waits for the chooser to end.
  SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initialPath));
  PostMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initialPath));
  CentreOnOwner(chooser);
  HideControlOn50(chooser);
  const LONG_PTR exStyle = GetWindowLongPtrW(chooser, GWL_EXSTYLE);
  SetWindowLongPtrW(chooser, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
  SubclassChooserPart(chooser, ChooserPart::Dialog);
  const HWND tree = FindTree(chooser);
  if (tree != nullptr) SubclassChooserPart(tree, ChooserPart::Tree);
}

// shell32 calls this; nothing may unwind into it.
int CALLBACK BrowseCallback(HWND chooser, UINT message, LPARAM, LPARAM data) {
  try {
    if (message == BFFM_INITIALIZED) PrepareChooser(chooser, reinterpret_cast<const wchar_t*>(data));
  } catch (...) {
  }
  return 0;
}

}  // namespace

bool ChooseFolder(HWND owner, const std::wstring& title, std::wstring& path) {
  // The chooser writes the chosen item's display name here, which may be no path at all.
  wchar_t displayName[kPathUnits] = {};
  BROWSEINFOW request{};
  request.hwndOwner = owner;
  request.pszDisplayName = displayName;
  request.lpszTitle = title.c_str();
  request.ulFlags = kBrowseFlags;
  request.lpfn = BrowseCallback;
  request.lParam = reinterpret_cast<LPARAM>(path.c_str());
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&request);
  if (item == nullptr) return false;
  wchar_t chosen[kPathUnits] = {};
  const bool hasPath = SHGetPathFromIDListW(item, chosen) && chosen[0] != L'\0';
  CoTaskMemFree(item);
  if (!hasPath) {
    ReportWarning(owner, LoadText(kTextFolderNotSelectable));
    return false;
  }
  path = chosen;
  return true;
}
