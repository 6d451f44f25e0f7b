#include "registry/registry_key.h"

#include "base/wide_text.h"

namespace handset {

const RegistryValue* RegistryKey::value(std::u16string_view name) const {
    const auto found = m_values.find(fold_text(name));
    return found == m_values.end() ? nullptr : &found->second.value;
}

void RegistryKey::set_value(std::u16string_view name, RegistryValue value) {
    const auto [entry, added] =
        m_values.try_emplace(fold_text(name), NamedValue{std::u16string(name), {}});
    entry->second.value = std::move(value);
}

bool RegistryKey::remove_value(std::u16string_view name) {
    return m_values.erase(fold_text(name)) > 0;
}

const RegistryKey* RegistryKey::child(std::u16string_view name) const {
    const auto found = m_children.find(fold_text(name));
    return found == m_children.end() ? nullptr : found->second.get();
}

RegistryKey& RegistryKey::child_or_add(std::u16string_view name) {
    std::unique_ptr<RegistryKey>& slot = m_children[fold_text(name)];
    if (!slot) {
        slot = std::make_unique<RegistryKey>(std::u16string(name));
    }
    return *slot;
}

bool RegistryKey::remove_child(std::u16string_view name) {
    return m_children.erase(fold_text(name)) > 0;
}

const RegistryKey* RegistryKey::descendant(const std::vector<std::u16string>& path) const {
    const RegistryKey* key = this;
    for (const std::u16string& name : path) {
        key = key->child(name);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

RegistryKey* RegistryKey::descendant(const std::vector<std::u16string>& path) {
    return const_cast<RegistryKey*>(static_cast<const RegistryKey&>(*this).descendant(path));
}

RegistryKey& RegistryKey::descendant_or_add(const std::vector<std::u16string>& path) {
    RegistryKey* key = this;
    for (const std::u16string& name : path) {
        key = &key->child_or_add(name);
    }
    return *key;
}

bool RegistryKey::remove_descendant(const std::vector<std::u16string>& path) {
    if (path.empty()) {
        return false;
    }
    RegistryKey* parent = descendant(std::vector<std::u16string>(path.begin(), path.end() - 1));
    return parent != nullptr && parent->remove_child(path.back());
}

bool operator==(const RegistryKey& a, const RegistryKey& b) {
    if (a.m_name != b.m_name || a.m_values.size() != b.m_values.size() ||
        a.m_children.size() != b.m_children.size()) {
        return false;
    }
    for (const auto& [folded, named] : a.m_values) {
        const auto other = b.m_values.find(folded);
        if (other == b.m_values.end() || other->second.name != named.name ||
            other->second.value != named.value) {
            return false;
        }
    }
    for (const auto& [folded, child] : a.m_children) {
        const auto other = b.m_children.find(folded);
        if (other == b.m_children.end() || !(*other->second == *child)) {
            return false;
        }
    }
    return true;
}

} // namespace handset
