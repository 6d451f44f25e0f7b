// The registry roots that the handset keeps: HKEY_LOCAL_MACHINE for the device's settings and
// HKEY_CLASSES_ROOT for COM classes.
#pragma once

#include <optional>
#include <string_view>

namespace handset {

enum class RegistryRoot { classes_root, local_machine };

inline constexpr RegistryRoot all_registry_roots[] = {RegistryRoot::classes_root,
                                                      RegistryRoot::local_machine};

std::u16string_view registry_root_name(RegistryRoot root);
// Matches "HKEY_LOCAL_MACHINE" and "HKEY_CLASSES_ROOT" in any case.
std::optional<RegistryRoot> registry_root_named(std::u16string_view name);

} // namespace handset
