/* Resource identifiers of Quorrel: strings, menus, dialogs, controls, commands and pictures. Shared
   by the resource script and the library's code, so only preprocessor lines belong here. */
#ifndef QUORREL_IDS_H
#define QUORREL_IDS_H

/* Strings */
#define IDS_GUARD_TITLE 1
#define IDS_GUARD_CLASS 2
#define IDS_MENU_ITEM 3
#define IDS_SIM_STATUS 4
#define IDS_COPY 5
#define IDS_MENU 6
#define IDS_LABEL_WORK 10
#define IDS_LABEL_HOME 11
#define IDS_LABEL_MOBILE 12
#define IDS_WARNING 20
#define IDS_SPACE_NEEDED 21
#define IDS_REMAINING_SPACE 22
#define IDS_ITEM 23
#define IDS_COPIED 24
#define IDS_SELECT_ALL 25
#define IDS_SELECT_NONE 26
#define IDS_NOTHING_COPIED 27
#define IDS_ERROR 40
#define IDS_SAVE_FAILED 41
#define IDS_SAVE_ERROR 42

/* Icon */
#define IDI_QUORREL 101

/* Menu bar and its popup */
#define IDM_COPY_MENUBAR 102
#define IDM_VIEW 500

/* Dialogs: for a screen taller than wide, and for any other */
#define IDD_COPY_PORTRAIT 103
#define IDD_COPY_LANDSCAPE 104

/* Controls */
#define IDC_TITLE 1001
#define IDC_CONTACTS 1002
#define IDC_SIM_STATUS 1003

/* Commands */
#define IDM_DO_COPY 499
#define IDM_VIEW_ALL 501
#define IDM_VIEW_BUSINESS 502
#define IDM_VIEW_HOME 503
#define IDM_VIEW_MOBILE 504
#define IDM_SELECT_ALL 505
#define IDM_GO_BACK 506

/* Pictures */
#define IDB_CHECKS 700

#endif
