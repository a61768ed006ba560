#include "devicedialogs/CardRestoreCommand_win.h"

#include "foundation/Exception.h"
#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "restore/CardRestore.h"
#include "toolkit/FolderChooser_win.h"

namespace {

int Ask(HWND owner, unsigned textId, UINT buttons) {
  return MessageBoxW(owner, LoadText(textId).c_str(), LoadText(kTextConfirmCaption).c_str(),
                     MB_ICONQUESTION | buttons);
}

// Runs one restore step; false when it failed (the user hears of it once, at the end).
bool Step(void (*step)(const std::wstring&), const std::wstring& card) {
  try {
    step(card);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// The steps in their order; the viewer copy only follows a good extraction.
bool RestoreSteps(const std::wstring& card, bool keepSettings) {
  bool complete = keepSettings || Step(&WriteDefaultSettings, card);
  if (!Step(&ExtractDeviceFiles, card) || !Step(&CopyViewer, card)) complete = false;
  return complete;
}

}  // namespace

bool RunCardRestore(HWND owner, std::wstring& card) {
  if (!ChooseFolder(owner, LoadText(kTextChooseCardForRestore), card)) return false;
  if (Ask(owner, kTextConfirmRestore, MB_OKCANCEL) != IDOK) return false;
  // Only Yes and No are answers: a box that failed, or went with its owner, returns
  // something else, and nobody chose the standard settings then.
  const int keep = Ask(owner, kTextKeepOldSettings, MB_YESNOCANCEL);
  if (keep != IDYES && keep != IDNO) return false;

  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const bool complete = RestoreSteps(card, keep == IDYES);
  if (complete) {
    MessageBoxW(owner, LoadText(kTextRestored).c_str(), LoadText(kTextInformationCaption).c_str(),
                MB_ICONINFORMATION | MB_OK);
  } else {
    ReportWarning(owner, LoadText(kTextRestoreIncomplete));
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  return true;
}
