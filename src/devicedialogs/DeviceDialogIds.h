#pragma once
// Ids of the device dialogs' templates and their controls. Plain macros, because the
// resource compiler reads this file too (resources/app/dialogs.rc) and so the templates
// and the dialogs take the numbers from one place.

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
