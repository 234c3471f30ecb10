// Resource and command ids of Ostrova.exe, shared by the resources and the
// application's code.
#pragma once

#define IDR_MAINFRAME 128  // menu, accelerators, icon, toolbar and title
#define IDB_MENUSTRIP 164  // context-menu images, 13 of 13 x 13
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_ICON 1000  // the About box's icon control
#define IDC_ABOUT_TEXT 1001

#define kMenuStripImageSize 13

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog "Bearbeiten": a value's raw bytes in a hex view.
#define IDD_HEXEDIT 165
#define IDC_HEXEDIT_LENGTH_LABEL 1001
#define IDC_HEXEDIT_LENGTH 1002
#define IDC_HEXEDIT_INSERT 1026
#define IDC_HEXEDIT_FRAME 1064  // invisible: marks the hex view's place

// Dialog "Suchen": the registry search.
#define IDD_REGFIND 166
#define IDC_FIND_TOKENS 1020  // opens the token menu
#define IDC_FIND_KEYS 1026
#define IDC_FIND_VALUES 1027
#define IDC_FIND_DATA 1028
#define IDC_FIND_MATCH_CASE 1029
#define IDC_FIND_TEXT 1049
#define IDC_FIND_PARTIAL 1053
#define IDC_FIND_WHOLE 1054
#define IDC_FIND_SPECIAL 1055

// Browser pane: drag image, images of keys and values, path-bar buttons,
// drag cursors (copy, move).
#define IDB_BROWSER_DRAG 129
#define IDB_BROWSER_IMAGES 131
#define IDB_BROWSER_UP 134
#define IDB_BROWSER_BACK 135
#define IDB_BROWSER_FORWARD 136
#define IDC_BROWSER_DRAGCOPY 136
#define IDC_BROWSER_DRAGMOVE 137

// Browser panes of the view.
#define IDC_PANE1 4240
#define IDC_PANE2 4241

// Context-menu commands.
#define ID_CTX_EXPAND 4242
#define ID_CTX_EDIT_BINARY 4244
#define ID_CTX_MODIFY 4245
#define ID_CTX_COPY 4246
#define ID_CTX_NEW_KEY 4247
#define ID_CTX_NEW_STRING 4248
#define ID_CTX_NEW_BINARY 4249
#define ID_CTX_NEW_DWORD 4250
#define ID_CTX_NEW_QWORD 4251
#define ID_CTX_NEW_MULTI 4252
#define ID_CTX_NEW_EXPAND 4253
#define ID_CTX_FIND 4254

// Menu and toolbar commands.
#define ID_SELECT_ALL 32780
#define ID_DELETE_ITEM 32781
#define ID_FLAT_TOOLBAR 32789
#define ID_RENAME_ITEM 32791
#define ID_SPLIT_HORZ_TOGGLE 32792
#define ID_SPLIT_MIDDLE_TOGGLE 32793
#define ID_SPLIT_HORZ 32794
#define ID_SPLIT_VERT 32795
#define ID_SPLIT_MIDDLE 32796
#define ID_PANE_RIGHT 32797
#define ID_PANE_LEFT 32798
#define ID_FULL_MARK 32801
#define ID_ALTERNATE 32802
#define ID_SHOW_LINES 32803
#define ID_FIND 32804
#define ID_FIND_NEXT_MENU 32805
#define ID_EXPORT 32806
#define ID_IMPORT 32807
#define ID_PERMISSIONS 32808
#define ID_LOAD_HIVE 32809
#define ID_UNLOAD_HIVE 32810
#define ID_SHOW_COMBO 32811
#define ID_FIND_NEXT 32812
#define ID_REGEDIT 32813
