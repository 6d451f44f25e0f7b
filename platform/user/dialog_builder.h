// Makes a dialog window and its controls from a parsed template.
//
// The dialog's font is the template's (DS_SETFONT), converted from points at the screen's
// density; its dialog base units come from that font as MapDialogRect uses them: the average
// width of the Latin letters ((width of "A".."Z" "a".."z") / 26, halved and rounded) and the
// font's height. Controls are created by class name, which resource compilers store in upper
// case, so names are looked up without regard to case; a control whose class does not exist
// fails the whole dialog (unless DS_NOFAILCREATE) with a debug line naming it.
#pragma once

#include "resources/dialog_template.h"
#include "user/dialog_state.h"

#include <winuser.h>

#include <memory>

namespace handset {

// The dialog's window, hidden, with WM_SETFONT and WM_INITDIALOG done; 0 when it could not be
// made. `function` names the caller in debug lines.
HWND build_dialog(const DialogTemplate& dialog_template, HINSTANCE instance, HWND owner,
                  DLGPROC procedure, LPARAM parameter, const std::shared_ptr<DialogState>& state,
                  const char* function);

// Dialog base units of a font: four horizontal and eight vertical dialog units.
SIZE dialog_base_units(HFONT font);
// Dialog units to pixels, rounded as MulDiv rounds.
RECT map_dialog_units(const RECT& units, SIZE base);

} // namespace handset
