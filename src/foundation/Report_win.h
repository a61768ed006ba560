#pragma once
// The two ways a caught failure is shown to the user.
#include <windows.h>

#include <string>

class Exception;

// A warning owned by the window of the operation that failed; OK button only.
void ReportWarning(HWND owner, const Exception& failure);
void ReportWarning(HWND owner, const std::wstring& text);

// A fatal error with no owner: the exception's text, or the generic internal-error
// text for a failure from outside the family (pass null).
void ReportFatal(const Exception* failure);
