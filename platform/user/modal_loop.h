// The modal run of a dialog (DialogBox, MessageBox).
//
// State table of a modal dialog's life:
//
//   state      entered when                               left when
//   ---------  -----------------------------------------  ----------------------------------------
//   creating   DialogBox starts: the window, its font      creation fails (DialogBox returns -1),
//              and controls are made, WM_SETFONT and      or WM_INITDIALOG returns (running; or
//              WM_INITDIALOG sent                         ending if it called EndDialog)
//   running    the owner is disabled, the dialog shown    EndDialog (ending), WM_QUIT (ending, the
//              and activated, the loop pumps messages     quit passed on), or the window destroyed
//                                                         by someone else (gone)
//   ending     EndDialog stored the result, re-enabled    the loop sees the end after the message
//              the owner and hid the dialog, so the        it is dispatching returns (gone)
//              owner was activated again
//   gone       the loop destroyed the dialog and           -
//              DialogBox returns the result
//
// Invariants:
// - A dialog opened from another dialog's procedure runs its loop inside the opener's, so open
//   modal dialogs form a stack, and only the top one's loop takes messages. Ending a dialog lower
//   in the stack takes effect when the dialogs above it have ended.
// - The owner is re-enabled before the dialog hides, so that activation can pass back to it.
// - The loop holds the dialog's state, so the result survives a window that someone else
//   destroyed.
#pragma once

#include "user/dialog_state.h"

#include <winuser.h>

#include <memory>

namespace handset {

// Runs the dialog (created hidden, not yet ended or already ended by WM_INITDIALOG) until it
// ends, then destroys it and returns its result.
INT_PTR run_modal(HWND dialog, const std::shared_ptr<DialogState>& state);

} // namespace handset
