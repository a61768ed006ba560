#pragma once
// Ids of the application's own resources: the menu, the about box with its controls,
// and the help page (the device dialogs' ids are devicedialogs/DeviceDialogIds.h). Plain macros, because the resource compiler reads this
// file too (resources/app/*.rc) and so both sides take the numbers from one place.

// The menu; its commands' ids are shared with the panels' buttons.
#include "foundation/CommandIds.h"
#define IDR_MAIN_MENU 101
// The main window's keys (an accelerator table).
#define IDR_MAIN_KEYS 103

// About box.
#define IDD_ABOUT 132
#define IDC_ABOUT_VERSION 1035
#define IDC_ABOUT_RIGHTS 1037
#define IDC_ABOUT_LINK 1038
#define IDC_ABOUT_NAME 1053

// The clip export dialog: which frames, and whether the time band is burned in.
#define IDD_EXPORT 140
#define IDC_EXPORT_MARKED 1101
#define IDC_EXPORT_WHOLE 1102
#define IDC_EXPORT_OVERLAY 1103

// Controls without an id of their own.
#define IDC_UNNAMED (-1)

// The help page (resource type 23, HTML); its pictures are the other resources of that
// type, written beside it under "<id>.png".
#define IDH_HELP_PAGE 22100
