// The handset's hardware keys as the shell takes them, before the window system routes a key to
// the focused window: the two soft keys press the keys of the menu bar in front, the Talk key goes
// to that menu bar's owner as WM_HOTKEY when the bar overrides it, and Esc presses the task bar's
// Done or cancel button. Any thread may call these (the display's, or the automation driver's):
// what the shell takes is posted to its windows' thread.
#pragma once

#include <windef.h>

namespace handset {

// True when the shell took the key press or release; the window system must then not see it.
bool shell_takes_key(UINT virtual_key, bool down);

// The person asked to turn the screen: the shell turns it on its windows' thread and fits itself
// and its dialogs to the new shape.
void request_screen_rotation();

} // namespace handset
