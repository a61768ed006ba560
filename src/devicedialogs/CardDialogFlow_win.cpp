#include "devicedialogs/CardDialogFlow_win.h"

#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/FolderChooser_win.h"

bool AskForCard(HWND dialog, unsigned promptId, std::wstring& card) {
  return ChooseFolder(dialog, LoadText(promptId), card);
}

bool ConfirmWrite(HWND dialog, unsigned questionId) {
  return MessageBoxW(dialog, LoadText(questionId).c_str(), LoadText(kTextConfirmCaption).c_str(),
                     MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

void ReportCardWrite(HWND dialog, CardWriteResult result, unsigned writtenId) {
  if (result == CardWriteResult::Written) {
    MessageBoxW(dialog, LoadText(writtenId).c_str(), LoadText(kTextInformationCaption).c_str(),
                MB_ICONINFORMATION | MB_OK);
  } else {
    ReportWarning(dialog, LoadText(kTextSettingsUnwritable));
  }
}
