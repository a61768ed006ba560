#pragma once
// The ids of every user command, and of the main window's children. A command id is what
// the menu item and the panel button (whose control id it is) of one action both hand to
// the main window's one command function. Plain macros, because the resource
// compiler reads this file too (through app/ResourceIds.h).

// Commands the menu carries; their numbers are those of the first menus and stay.
#define IDM_OPEN 40004
#define IDM_EXIT 40005
#define IDM_DEVICE_SETTINGS 40012
#define IDM_DATE_TIME 40015
#define IDM_HELP 40019
#define IDM_ABOUT 40020
#define IDM_RESTORE_CARD 40024  // no menu item sends it

// Commands of the panels' buttons.
#define IDM_PLAY_PAUSE 40101
#define IDM_STOP 40102
#define IDM_PREVIOUS_RECORDING 40103
#define IDM_NEXT_RECORDING 40104
#define IDM_PREVIOUS_DATE 40105
#define IDM_NEXT_DATE 40106
// Opens the picture of the thumbnail the strip has selected.
#define IDM_OPEN_THUMBNAIL 40107

// The picture's zoom: in and out at its centre, and back to the whole picture.
#define IDM_ZOOM_IN 40130
#define IDM_ZOOM_OUT 40131
#define IDM_ZOOM_WHOLE 40132

// The main window's children, and the panels' controls that send no command.
#define IDC_PLAYER 2001
#define IDC_CONSOLE_PANEL 2002
#define IDC_CONFIG_PANEL 2003
#define IDC_INFO_PANEL 2004
#define IDC_CHART 2005
#define IDC_THUMBNAIL_STRIP 2006
#define IDC_POSITION_SLIDER 2011
#define IDC_VOLUME_SLIDER 2012
#define IDC_VOLUME_RESET 2013
#define IDC_BRIGHTNESS_SLIDER 2014
#define IDC_BRIGHTNESS_RESET 2015
