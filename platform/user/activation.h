// Activation and keyboard focus.
//
// One top-level window is active at a time; the focus is that window or one of its descendants.
// When activation moves, the window losing it gets WM_ACTIVATE with WA_INACTIVE, then the window
// gaining it gets WA_ACTIVE (or WA_CLICKACTIVE), and is raised with its owned windows above it.
// The focus leaves a window that loses activation; DefWindowProc (or, for a dialog, DefDlgProc)
// puts it back into the window that gains it.
#pragma once

#include <winuser.h>

namespace handset {

// Makes a top-level window active (0: none); returns the window that was active.
HWND activate(HWND window, WORD how);
// The window `leaving` is going away, hiding or being disabled while active (or owning the active
// window): activation passes to its owner if that can take it, else to the topmost top-level
// window that can, else to none.
void activate_successor(HWND leaving);
// Gives the focus to the window (0: none), activating its top-level window first if it is not
// active; returns the window that had the focus.
HWND set_focus(HWND window);
// Takes the focus away when it lies inside `window`.
void drop_focus_inside(HWND window);

} // namespace handset
