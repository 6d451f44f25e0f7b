// Input as the hardware reports it, for the front-ends (the SDL window) and the automation
// driver. The stylus goes to the window that captured it, else to the window under it (a
// disabled control passes it to its parent; a disabled top-level window ignores it). Keys and
// characters go to the window with the focus, else to the active window. Each arrives as a
// posted message in the receiving thread's queue, stamped with the stylus position.
#pragma once

#include <windef.h>

namespace handset {

void inject_stylus_down(POINT screen);
void inject_stylus_move(POINT screen);
void inject_stylus_up(POINT screen);
void inject_key(UINT virtual_key, bool down);
void inject_character(WCHAR character);

} // namespace handset
