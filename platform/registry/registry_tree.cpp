#include "registry/registry_tree.h"

namespace handset {

RegistryTree::RegistryTree()
    : m_classes_root(std::u16string(registry_root_name(RegistryRoot::classes_root))),
      m_local_machine(std::u16string(registry_root_name(RegistryRoot::local_machine))) {}

RegistryKey& RegistryTree::root(RegistryRoot root) {
    return const_cast<RegistryKey&>(static_cast<const RegistryTree&>(*this).root(root));
}

const RegistryKey& RegistryTree::root(RegistryRoot root) const {
    switch (root) {
    case RegistryRoot::classes_root:
        return m_classes_root;
    case RegistryRoot::local_machine:
        return m_local_machine;
    }
    return m_local_machine;
}

} // namespace handset
