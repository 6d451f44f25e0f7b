// The soft keys of the Contacts application's windows: a menu bar made from one of the program's
// menus, in the interface language.
#pragma once

#include <windef.h>

namespace handset {

// The menu bar of owner with the soft keys of the menu resource; 0 when it cannot be made.
HWND create_soft_keys(HWND owner, UINT menu);

} // namespace handset
