#pragma once
// The about box: the program's name, its version from the version resource and the
// rights notice in Arial.
#include <windows.h>

#include "toolkit/Dialog_win.h"
#include "toolkit/ScopedWin_win.h"

class AboutDialog : public Dialog {
 public:
  AboutDialog();

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void initialise();

  ScopedGdiObject font_;
};

// Asks the shell to open the maker's support page (text 5086). Throws WindowException
// with the system's text when the address is missing or the shell refuses.
void OpenSupportPage();
