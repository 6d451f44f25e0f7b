// The SIPPREF control (WC_SIPPREF): the invisible marker a dialog template places among its
// controls to say that the dialog takes typed input. The window system shows every control a
// template marks WS_VISIBLE once it is made, so the control shrinks to nothing instead: it draws
// nothing, takes no taps meant for the controls under it, and is no tab stop.
#pragma once

#include <winuser.h>

namespace handset {

void register_sip_preference_class();

LRESULT CALLBACK sip_preference_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace handset
