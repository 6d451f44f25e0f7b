// Input as the hardware reports it, for the front-ends (the SDL window) and the automation
// driver. The stylus goes to the window that captured it, else to the window under it (a
// disabled control passes it to its parent; a disabled top-level window ignores it). Keys and
// characters go to the window with the focus, else to the active window. Each arrives in the
// input queue of the receiving thread, behind what is posted to it (see MessageQueue), stamped
// with the stylus position.
#pragma once

#include <windef.h>

namespace handset {

void inject_stylus_down(POINT screen);
void inject_stylus_move(POINT screen);
void inject_stylus_up(POINT screen);
void inject_key(UINT virtual_key, bool down);
void inject_character(WCHAR character);
// A hardware key that the shell answers with a message to one of its windows (or the program's):
// the message waits in the window's input queue, in order with the taps and keys around it.
// False for a window that is not there.
bool inject_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace handset
