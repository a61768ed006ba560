#include "app/ExportDialog_win.h"

#include <cstdio>

#include "app/ResourceIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

std::wstring ChoiceText(TextId format, const MarkedRange::Bounds& frames) {
  wchar_t text[128];
  std::swprintf(text, 128, LoadText(format).c_str(), frames.first + 1, frames.last + 1,
                frames.last - frames.first + 1);
  return text;
}

}  // namespace

ExportDialog::ExportDialog(std::optional<MarkedRange::Bounds> marked, int32_t count)
    : Dialog(IDD_EXPORT), marked_(marked), whole_{0, count > 0 ? count - 1 : 0} {}

INT_PTR ExportDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) takeChoices();
      break;
    default:
      break;
  }
  return Dialog::DialogProc(message, wParam, lParam);
}

void ExportDialog::initialise() {
  const HWND dialog = handle();
  SetDlgItemTextW(dialog, IDC_EXPORT_WHOLE, ChoiceText(kTextExportWholeChoice, whole_).c_str());
  if (marked_) {
    SetDlgItemTextW(dialog, IDC_EXPORT_MARKED, ChoiceText(kTextExportMarkedChoice, *marked_).c_str());
  } else {
    EnableWindow(GetDlgItem(dialog, IDC_EXPORT_MARKED), FALSE);
  }
  CheckRadioButton(dialog, IDC_EXPORT_MARKED, IDC_EXPORT_WHOLE, marked_ ? IDC_EXPORT_MARKED : IDC_EXPORT_WHOLE);
  Dialog::CenterOver(dialog, GetParent(dialog));
}

void ExportDialog::takeChoices() {
  useMarked_ = marked_ && IsDlgButtonChecked(handle(), IDC_EXPORT_MARKED) == BST_CHECKED;
  overlay_ = IsDlgButtonChecked(handle(), IDC_EXPORT_OVERLAY) == BST_CHECKED;
}
