#include "host/registered_extensions.h"

#include "registry/key_path.h"
#include "registry/registry_store.h"

#include <objbase.h>
#include <shlobj.h>
#include <winbase.h>

namespace handset {

// The registry API offers no enumeration of subkeys, so the names are read from the process's
// registry tree, the same one RegOpenKeyEx looks keys up in.
std::vector<CLSID> registered_menu_extensions() {
    std::vector<CLSID> classes;
    const std::shared_ptr<const RegistryTree> tree = RegistryStore::instance().current();
    const RegistryKey* key = tree->root(RegistryRoot::local_machine)
                                 .descendant(*split_key_path(REGKEY_CONTACTS_ITEM_CONTEXT_MENUS));
    if (key == nullptr) {
        return classes;
    }
    for (const auto& [folded, child] : key->children()) {
        CLSID clsid{};
        if (CLSIDFromString(child->name().c_str(), &clsid) == S_OK) {
            classes.push_back(clsid);
        } else {
            NKDbgPrintfW(u"Contacts: menu extension key \"%s\" is not a class identifier",
                         child->name().c_str());
        }
    }
    return classes;
}

} // namespace handset
