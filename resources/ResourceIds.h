#pragma once
// Resource, command and control ids shared by the resource script and the code. Plain
// macros, because the resource compiler reads this file too.

// Icons: the window class icon, then one per kind of address entry (image k is 101 + k).
#define IDI_APPLICATION_ICON 100
#define IDI_MAIL_USER 101
#define IDI_DIST_LIST 102
#define IDI_REMOTE_USER 103
#define IDI_FORUM 104
#define IDI_AGENT 105

// The main window's menu and its commands.
#define IDR_MAIN_MENU 200
#define IDM_SAVE 202
#define IDM_EXIT 203
#define IDM_SAVE_CSV 204
#define IDM_ABOUT 603
#define IDM_CONNECT 1230
#define IDM_TOGGLE_MAXIMIZE 1300

// The list's right-click menu (with IDM_SAVE_CSV); Ctrl+C and Ctrl+A where the list has the focus.
#define IDM_COPY 205
#define IDM_SELECT_ALL 206
// View > Columns..., also on the list's right-click menu.
#define IDM_COLUMNS 207

// The About box picture: 800 at 96 dpi, 801 (the next id) above it.
#define IDB_ABOUT_PICTURE 800
#define IDB_ABOUT_PICTURE_LARGE 801

// The About box shell and its link.
#define IDD_ABOUT 10000
#define IDC_LINK 1002

// The Columns box shell; its check boxes are 1100 and on, one per directory detail in the
// catalogue's order.
#define IDD_COLUMNS 10010
#define IDC_FIRST_DETAIL_BOX 1100

// Main window controls.
#define IDC_DN_EDIT 1231
#define IDC_LIST 10001
#define IDC_STATUS 10002
