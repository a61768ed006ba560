#include "foundation/Report_win.h"

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

void ReportWarning(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), LoadText(kTextWarningCaption).c_str(), MB_ICONWARNING | MB_OK);
}

void ReportWarning(HWND owner, const Exception& failure) { ReportWarning(owner, failure.message); }

void ReportFatal(const Exception* failure) {
  const std::wstring text = failure ? failure->message : LoadText(kTextInternalError);
  MessageBoxW(nullptr, text.c_str(), LoadText(kTextErrorCaption).c_str(), MB_ICONERROR | MB_OK);
}
