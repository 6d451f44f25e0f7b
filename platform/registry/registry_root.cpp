#include "registry/registry_root.h"

#include "base/wide_text.h"

namespace handset {

std::u16string_view registry_root_name(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::classes_root:
        return u"HKEY_CLASSES_ROOT";
    case RegistryRoot::local_machine:
        return u"HKEY_LOCAL_MACHINE";
    }
    return {};
}

std::optional<RegistryRoot> registry_root_named(std::u16string_view name) {
    for (RegistryRoot root : all_registry_roots) {
        if (compare_ignoring_case(name, registry_root_name(root)) == 0) {
            return root;
        }
    }
    return std::nullopt;
}

} // namespace handset
