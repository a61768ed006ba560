#include "devicedialogs/DateTimeDialog_win.h"

#include <commctrl.h>

#include "devicedialogs/CardDialogFlow_win.h"
#include "devicedialogs/DeviceDialogIds.h"
#include "devicedialogs/DeviceRecords.h"
#include "devicedialogs/FieldCorrection.h"
#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

// The recorder's clock counts years of this century only.
constexpr SYSTEMTIME kFirstDate{2001, 1, 1, 1, 0, 0, 0, 0};
constexpr SYSTEMTIME kLastDate{2099, 12, 4, 31, 23, 59, 59, 999};
constexpr size_t kFieldUnits = 256;

std::wstring FieldText(HWND edit) {
  wchar_t text[kFieldUnits] = {};
  GetWindowTextW(edit, text, static_cast<int>(kFieldUnits));
  return text;
}

// UDM_GETPOS answers the position in the low word and an error in the high word.
bool PositionFailed(LRESULT answer) { return static_cast<DWORD>(answer) >= 0x10000; }

}  // namespace

DateTimeDialog::DateTimeDialog(std::wstring cardPath) : Dialog(IDD_DATE_TIME), cardPath_(std::move(cardPath)) {}

INT_PTR DateTimeDialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    initialise();
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wParam);
  if (HIWORD(wParam) == EN_KILLFOCUS && id == IDC_DATE_TIME_HOUR) {
    correctField(hourEdit_, hourSpin_, lastHour_);
  } else if (HIWORD(wParam) == EN_KILLFOCUS && id == IDC_DATE_TIME_MINUTE) {
    correctField(minuteEdit_, minuteSpin_, lastMinute_);
  } else if (id == IDOK) {
    ok();
  } else if (id == IDCANCEL) {
    EndDialog(handle(), IDCANCEL);
  }
  return TRUE;
}

void DateTimeDialog::initialise() {
  const HWND window = handle();
  picker_ = GetDlgItem(window, IDC_DATE_TIME_PICKER);
  hourSpin_ = GetDlgItem(window, IDC_DATE_TIME_HOUR_SPIN);
  minuteSpin_ = GetDlgItem(window, IDC_DATE_TIME_MINUTE_SPIN);
  hourEdit_ = GetDlgItem(window, IDC_DATE_TIME_HOUR);
  minuteEdit_ = GetDlgItem(window, IDC_DATE_TIME_MINUTE);
  SYSTEMTIME range[2] = {kFirstDate, kLastDate};
  SendMessageW(picker_, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
  SendMessageW(hourSpin_, UDM_SETRANGE, 0, MAKELPARAM(23, 0));
  SendMessageW(minuteSpin_, UDM_SETRANGE, 0, MAKELPARAM(59, 0));
  CenterOver(window, owner());
  showNow();
}

void DateTimeDialog::showNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  SendMessageW(picker_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&now));
  SendMessageW(hourSpin_, UDM_SETPOS, 0, MAKELPARAM(now.wHour, 0));
  SendMessageW(minuteSpin_, UDM_SETPOS, 0, MAKELPARAM(now.wMinute, 0));
  lastHour_ = now.wHour;
  lastMinute_ = now.wMinute;
}

void DateTimeDialog::correctField(HWND edit, HWND spin, int& last) {
  int low = 0;
  int high = 0;
  SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  const int value = CorrectedFieldValue(FieldText(edit), low, high, last);
  SendMessageW(spin, UDM_SETPOS, 0, MAKELPARAM(value, 0));
  const LRESULT back = SendMessageW(spin, UDM_GETPOS, 0, 0);
  if (PositionFailed(back)) return;
  last = LOWORD(back);
  SetWindowTextW(edit, std::to_wstring(last).c_str());
}

bool DateTimeDialog::readPosition(HWND spin, unsigned outOfRangeId, int& value) {
  const LRESULT answer = SendMessageW(spin, UDM_GETPOS, 0, 0);
  if (PositionFailed(answer)) {
    ReportWarning(handle(), LoadText(outOfRangeId));
    return false;
  }
  value = LOWORD(answer);
  return true;
}

void DateTimeDialog::ok() {
  if (!AskForCard(handle(), kTextChooseCardForClock, cardPath_)) return;
  if (!ConfirmWrite(handle(), kTextConfirmWriteClock)) return;
  SYSTEMTIME date{};
  SendMessageW(picker_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  int hour = 0;
  int minute = 0;
  if (!readPosition(hourSpin_, kTextHourOutOfRange, hour)) return;
  if (!readPosition(minuteSpin_, kTextMinuteOutOfRange, minute)) return;
  const LocalDateTime local{date.wYear, date.wMonth, date.wDay, hour, minute, 0};
  const CardWriteResult result = WriteCardSettings(cardPath_, [&](FirmInfo& records) { SetClock(records, local); });
  ReportCardWrite(handle(), result, kTextClockWritten);
  // Also after a failure: the card chosen stays the main window's choice.
  EndDialog(handle(), IDOK);
}
