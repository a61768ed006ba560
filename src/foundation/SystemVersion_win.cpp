#include "foundation/SystemVersion_win.h"

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

bool KeepSystemVersion() { return QuerySystemVersion(KeptRecord()); }

const OSVERSIONINFOEXW& SystemVersion() { return KeptRecord(); }
