#include "foundation/Exception.h"

#include "foundation/BoundedText.h"
#include "foundation/SystemErrorText.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

std::wstring WindowsErrorMessage(uint32_t code) {
  std::wstring text;
  if (SystemErrorText(code, text)) return text;
  // The code is shown signed, as the system's own tools print HRESULT-like codes.
  return FormatBounded(1024, LoadTextAnsi(kTextWindowsError).c_str(), static_cast<int>(code));
}

}  // namespace

WindowException::WindowException(uint32_t errorCode) : Exception(WindowsErrorMessage(errorCode)) {}
