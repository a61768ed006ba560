#include "app/SystemVersion_win.h"

#include "app/SystemCheck.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

OSVERSIONINFOEXW& KeptRecord() {
  static OSVERSIONINFOEXW record{};
  return record;
}

}  // namespace

bool QuerySystemVersion(OSVERSIONINFOEXW& record) {
  record = OSVERSIONINFOEXW{};
  record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&record))) return true;
  record = OSVERSIONINFOEXW{};
  record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&record))) return true;
  record = OSVERSIONINFOEXW{};
  return false;
}

void CheckOperatingSystem() {
  OSVERSIONINFOEXW& record = KeptRecord();
  const bool identified = QuerySystemVersion(record);
  const unsigned notice = SystemCheckNotice(identified, record.dwMajorVersion, record.dwMinorVersion);
  if (notice == 0) return;
  // The byte-string loader: this runs before anything else is known to work.
  MessageBoxW(nullptr, LoadTextAnsi(notice).c_str(), LoadTextAnsi(kTextWarningCaption).c_str(),
              MB_ICONWARNING | MB_SYSTEMMODAL | MB_TOPMOST);
}

const OSVERSIONINFOEXW& SystemVersion() { return KeptRecord(); }
