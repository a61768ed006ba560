#include "app/SystemCheck_win.h"

#include <windows.h>

#include "app/SystemCheck.h"
#include "foundation/SystemVersion_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

void CheckOperatingSystem() {
  const bool identified = KeepSystemVersion();
  const OSVERSIONINFOEXW& record = SystemVersion();
  const unsigned notice = SystemCheckNotice(identified, record.dwMajorVersion, record.dwMinorVersion);
  if (notice == 0) return;
  // The byte-string loader: this runs before anything else is known to work.
  MessageBoxW(nullptr, LoadTextAnsi(notice).c_str(), LoadTextAnsi(kTextWarningCaption).c_str(),
              MB_ICONWARNING | MB_SYSTEMMODAL | MB_TOPMOST);
}
