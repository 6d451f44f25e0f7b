// The context-menu extensions registered for the Contacts application's contacts: the class
// identifiers named by the subkeys of REGKEY_CONTACTS_ITEM_CONTEXT_MENUS, read afresh on every
// showing of the menu so that a registration made while the application runs takes effect.
#pragma once

#include <windef.h>

#include <vector>

namespace handset {

// In the order the registry lists the subkeys; a subkey whose name is no class identifier is
// left out, with a debug line.
std::vector<CLSID> registered_menu_extensions();

} // namespace handset
