// The resource and command identifiers of the Contacts application, shared by its resource
// script and its code.
#pragma once

#define IDI_CONTACTS 1

// Menu bars and the context menu.
#define IDM_LIST_BAR 100
#define IDM_EDITOR_BAR 101
#define IDM_CONTACT_CONTEXT 102

#define IDD_EDITOR 200

#define IDC_LIST 300
#define IDC_FIRST_NAME 301
#define IDC_LAST_NAME 302
#define IDC_MOBILE 303
#define IDC_HOME 304
#define IDC_WORK 305
#define IDC_EMAIL 306
#define IDC_FIRST_NAME_LABEL 311
#define IDC_LAST_NAME_LABEL 312
#define IDC_MOBILE_LABEL 313
#define IDC_HOME_LABEL 314
#define IDC_WORK_LABEL 315
#define IDC_EMAIL_LABEL 316

// The application's own commands stay below the identifiers given to menu extensions.
#define ID_NEW 100
#define ID_MENU 101
#define ID_DONE 102
#define ID_CANCEL 103
#define ID_CALL 110
#define ID_EDIT 111
#define ID_DELETE 112

#define IDS_TITLE 400
#define IDS_CLASS 401
#define IDS_COLUMN_NAME 402
#define IDS_COLUMN_NUMBER 403
#define IDS_NEW_CONTACT 404
#define IDS_EDIT_CONTACT 405
#define IDS_NEED_NAME 406
#define IDS_STORAGE_FULL 407
#define IDS_STORE_BUSY 408
#define IDS_CONTACT_GONE 409
#define IDS_STORE_UNUSABLE 410
#define IDS_MARK_MOBILE 411
#define IDS_MARK_WORK 412
#define IDS_MARK_HOME 413
