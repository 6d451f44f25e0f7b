// The handset's shell services: the menu bar with its two soft keys, full-screen dialogs with the
// task bar's Done and cancel buttons, the input panel as a dialog sees it, and the hardware keys.
//
// The screen is divided into bands: the task bar across the top, the menu bar across the bottom,
// and, while it is raised, the input panel just above the menu bar. The rest is the visible
// desktop, where full-screen dialogs live.
#pragma once

#include <sipapi.h>
#include <windef.h>
#include <winuser.h>

// SHMENUBARINFO dwFlags.
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

// The request of SHCreateMenuBar. With SHCMBF_HMENU, nToolBarId names a menu resource of hInstRes:
// its first top-level item becomes the left soft key and its second the right one. An item is a
// command, or a popup that opens above its key.
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB; // out: the menu bar
    COLORREF clrBk;
};
typedef SHMENUBARINFO* PSHMENUBARINFO;
static_assert(sizeof(SHMENUBARINFO) == 36);
static_assert(offsetof(SHMENUBARINFO, nToolBarId) == 12 && offsetof(SHMENUBARINFO, hwndMB) == 28);

// Creates the menu bar at the bottom of the screen, owned by hwndParent, and stores it in hwndMB.
// FALSE (hwndMB 0) for a bad record, a parent that is not a window, or a menu that cannot load.
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi);

// Enables or grays a soft key, named by its command (bByIndex FALSE) or its position (TRUE: 0 the
// left key, 1 the right). Any thread may call it. S_OK, or E_FAIL when there is no such key.
HRESULT WINAPI SHEnableSoftkey(HWND hwndMenuBar, UINT uid, BOOL bByIndex, BOOL bEnable);

// Menu bar messages.
#define SHCMBM_SETSUBMENU (WM_USER + 400)
// lParam: a button's command; 0 for the right soft key. Answers the popup of that button, or 0.
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)
// wParam: a hardware key (VK_TTALK); lParam: MAKELPARAM(mask, flags) of SHMBOF_* bits. With
// SHMBOF_NOTIFY the key reaches the menu bar's owner as WM_HOTKEY with the key in the high word
// of lParam; with SHMBOF_NODEFAULT the key's own action is suppressed.
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)

#define SHMBOF_NODEFAULT 0x00000001
#define SHMBOF_NOTIFY 0x00000002

// E_FAIL for the shell's answers.
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005)
#endif

// SHINITDLGINFO dwMask.
#define SHIDIM_FLAGS 0x0001

// SHINITDLGINFO dwFlags.
#define SHIDIF_DONEBUTTON 0x0001        // the task bar's Done button: command IDOK (1)
#define SHIDIF_SIZEDLG 0x0002           // sized to the visible desktop (above the input panel)
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004 // sized to the desktop whether the panel is up or not
#define SHIDIF_SIPDOWN 0x0008           // lowers the input panel
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040
#define SHIDIF_CANCELBUTTON 0x0080 // the task bar's cancel button: command IDCANCEL (2)

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
typedef SHINITDLGINFO* PSHINITDLGINFO;
static_assert(sizeof(SHINITDLGINFO) == 12);

// Makes a dialog a full-screen dialog: its caption moves to the task bar (which shows it while
// the dialog or a window it owns is active), with the Done or cancel button the flags ask for.
BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);

// SHSipPreference requests.
enum SIPSTATE {
    SIP_UP = 0,
    SIP_DOWN = 1,
    SIP_FORCEDOWN = 2,
    SIP_UNCHANGED = 3,
    SIP_INPUTDIALOG = 4,
};

// Raises or lowers the input panel for the window. FALSE when hwnd is not a window.
BOOL WINAPI SHSipPreference(HWND hwnd, SIPSTATE st);

// The input panel's state a dialog keeps across activations; set cbSize to 12 and clear the rest
// before the first use.
struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    DWORD fSipUp : 1;
    DWORD fSipOnDeactivation : 1;
    DWORD fActive : 1;
    DWORD fReserved : 29;
};
typedef SHACTIVATEINFO* PSHACTIVATEINFO;
static_assert(sizeof(SHACTIVATEINFO) == 12);

// SHHandleWMActivate dwFlags: the dialog takes typed input, so the panel it had stays with it.
#define SHA_INPUTDIALOG 0x00000001

// A dialog's WM_ACTIVATE, handed to the shell: on deactivation the panel's state is saved in the
// record, on reactivation it is restored. FALSE for a bad record.
BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai,
                               DWORD dwFlags);
// A dialog's WM_SETTINGCHANGE, handed to the shell: SPI_SETSIPINFO records the panel's new state
// and refits a dialog sized to the visible desktop; SETTINGCHANGE_RESET refits a full-screen
// dialog to the rotated screen. FALSE for a bad record.
BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai);

// The setting-change code sent when the screen changes shape (rotation).
#define SETTINGCHANGE_RESET 0x3002

// The class of the invisible control that, placed in a dialog, raises the input panel while an
// edit field of the dialog has the focus.
#define WC_SIPPREF u"SIPPREF"
