#pragma once
// Ids of the executable's own resources: the menu, the dialog templates with their
// controls, and the help page. Plain macros, because the resource compiler reads this
// file too (resources/app/*.rc) and so both sides take the numbers from one place.

// The menu; its commands' ids are shared with the panels' buttons.
#include "foundation/CommandIds.h"
#define IDR_MAIN_MENU 101

// About box.
#define IDD_ABOUT 132
#define IDC_ABOUT_VERSION 1035
#define IDC_ABOUT_RIGHTS 1037
#define IDC_ABOUT_LINK 1038
#define IDC_ABOUT_NAME 1053

// Date/time dialog.
#define IDD_DATE_TIME 126
#define IDC_DATE_TIME_PICKER 1004
#define IDC_DATE_TIME_TEXT 1007
#define IDC_DATE_TIME_HOUR_SPIN 1025
#define IDC_DATE_TIME_HOUR 1026
#define IDC_DATE_TIME_MINUTE_SPIN 1027
#define IDC_DATE_TIME_MINUTE 1028

// Device settings dialog.
#define IDD_DEVICE_SETTINGS 422
#define IDC_DEVICE_BUZZER_ON 1021
#define IDC_DEVICE_BUZZER_OFF 1022
#define IDC_DEVICE_MODE_STANDARD 1023
#define IDC_DEVICE_MODE_LONG 1024

// Controls without an id of their own.
#define IDC_UNNAMED (-1)

// The help page (resource type 23, HTML); its pictures are the other resources of that
// type, written beside it under "<id>.png".
#define IDH_HELP_PAGE 22100
