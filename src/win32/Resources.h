// SPDX-License-Identifier: MIT
// The numbers of the window's resources, shared by the resource script and the code (only
// #define lines: the resource compiler reads this file too).
#pragma once

// The menu, the accelerator table, the application icon and the document strings.
#define IDR_MAINFRAME 128
// The document icon.
#define IDR_ZELKTYPE 129
// The toolbar's pictures, one strip each for 100 % and 200 % scale.
#define IDB_TOOLBAR 128
#define IDB_TOOLBAR_200 129
// The About box and the Environment dialog.
#define IDD_ABOUTBOX 100
#define IDD_ENVIRONMENT 130

// The controls of the Environment dialog.
#define IDC_GOD 1000
#define IDC_NO_TARGET 1001
#define IDC_CHEATS 1002
#define IDC_GIVE_ALL 1003
#define IDC_DISCONNECT 1004
#define IDC_QUAKE2_DIR 1005
#define IDC_PARAMETERS 1006
#define IDC_GAME 1007
#define IDC_MAP 1008
#define IDC_SAVE_DIR 1009
#define IDC_LOAD_DIR 1010
#define IDC_EDITOR 1011
#define IDC_ERROR_SOUND 1012
// The controls without a number of their own (labels, the group box, the icons).
#define IDC_STATIC -1

// The application's title and the status bar's idle prompt.
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
