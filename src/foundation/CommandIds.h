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

// Examining a moment: steps, jumps, speeds, the marked range and the zoom. The keys
// that give them are the accelerator table's (resources/app/menu.rc).
#define IDM_FRAME_FORWARD 40110
#define IDM_FRAME_BACK 40111
#define IDM_SECOND_FORWARD 40112
#define IDM_SECOND_BACK 40113
#define IDM_TEN_SECONDS_FORWARD 40114
#define IDM_TEN_SECONDS_BACK 40115
#define IDM_FIRST_FRAME 40116
#define IDM_LAST_FRAME 40117
#define IDM_NEXT_SWITCH 40118
#define IDM_PREVIOUS_SWITCH 40119
#define IDM_NEXT_G_PEAK 40120
#define IDM_PREVIOUS_G_PEAK 40121
#define IDM_FASTER 40122
#define IDM_SLOWER 40123
#define IDM_NORMAL_SPEED 40124
#define IDM_REVERSE 40125
#define IDM_MARK_START 40126
#define IDM_MARK_END 40127
#define IDM_LOOP 40128
#define IDM_CLEAR_MARKS 40129
#define IDM_ZOOM_IN 40130
#define IDM_ZOOM_OUT 40131
#define IDM_ZOOM_WHOLE 40132
// The recording and date steps of the keys and the playback menu: the buttons' steps,
// doing nothing where the button would be disabled.
#define IDM_KEY_NEXT_RECORDING 40133
#define IDM_KEY_PREVIOUS_RECORDING 40134
#define IDM_KEY_NEXT_DATE 40135
#define IDM_KEY_PREVIOUS_DATE 40136
// One command a speed of the speed menu, slowest first (1/8 .. 8 times).
#define IDM_SPEED_FIRST 40140
#define IDM_SPEED_LAST 40146

// The view menu's toggles: what the chart draws, and the frame's values under the clock.
#define IDM_VIEW_TOTAL_G 40200
#define IDM_VIEW_AXIS_X 40201
#define IDM_VIEW_AXIS_Y 40202
#define IDM_VIEW_AXIS_Z 40203
#define IDM_VIEW_SPEED 40204
#define IDM_VIEW_THRESHOLD 40205
#define IDM_VIEW_FRAME_VALUES 40206
#define IDM_VIEW_G_CIRCLE 40207
// Opens the drive summary window (or brings it to the front).
#define IDM_VIEW_DRIVE_SUMMARY 40208

// The file menu's ways of taking the moment away: a clip of the marked range or the
// whole recording, the frame shown as its stored JPEG, the picture as shown as a PNG
// with the time band burned in, and the picture as shown on the clipboard.
#define IDM_EXPORT_CLIP 40300
#define IDM_SAVE_FRAME 40301
#define IDM_SAVE_SHOWN_PICTURE 40302
#define IDM_COPY_PICTURE 40303

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
