// A key of the registry: its values and its subkeys, both found by name regardless of case. A
// name keeps the spelling it was first given; lookups and the order of listing use the folded
// form, so two spellings of one name are one entry.
#pragma once

#include "registry/registry_value.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

class RegistryKey {
  public:
    struct NamedValue {
        std::u16string name; // empty for the key's default value
        RegistryValue value;
    };
    using Values = std::map<std::u16string, NamedValue>;
    using Children = std::map<std::u16string, std::unique_ptr<RegistryKey>>;

    explicit RegistryKey(std::u16string name) : m_name(std::move(name)) {}

    const std::u16string& name() const { return m_name; }

    const RegistryValue* value(std::u16string_view name) const;
    void set_value(std::u16string_view name, RegistryValue value);
    bool remove_value(std::u16string_view name);
    const Values& values() const { return m_values; }

    const RegistryKey* child(std::u16string_view name) const;
    RegistryKey& child_or_add(std::u16string_view name);
    bool remove_child(std::u16string_view name);
    const Children& children() const { return m_children; }

    const RegistryKey* descendant(const std::vector<std::u16string>& path) const;
    RegistryKey* descendant(const std::vector<std::u16string>& path);
    RegistryKey& descendant_or_add(const std::vector<std::u16string>& path);
    // Removes the key at path (not this key itself) with everything under it.
    bool remove_descendant(const std::vector<std::u16string>& path);

    friend bool operator==(const RegistryKey& a, const RegistryKey& b);

  private:
    std::u16string m_name;
    Values m_values;
    Children m_children;
};

} // namespace handset
