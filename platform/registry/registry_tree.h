// The whole registry as read from one .reg file: a key for each root.
#pragma once

#include "registry/registry_key.h"
#include "registry/registry_root.h"

namespace handset {

class RegistryTree {
  public:
    RegistryTree();

    RegistryKey& root(RegistryRoot root);
    const RegistryKey& root(RegistryRoot root) const;

    friend bool operator==(const RegistryTree& a, const RegistryTree& b) {
        return a.m_classes_root == b.m_classes_root && a.m_local_machine == b.m_local_machine;
    }

  private:
    RegistryKey m_classes_root;
    RegistryKey m_local_machine;
};

} // namespace handset
