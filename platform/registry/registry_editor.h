// Changes to the device's registry file for tools (handsetctl, tests). Each change reads the
// file, applies itself and saves the file atomically, holding an exclusive lock on a lock file
// beside it, so two tools changing the registry at once do not lose each other's change. A
// missing file counts as an empty registry.
//
// A file with lines that cannot be read is left alone: saving it would drop those lines.
#pragma once

#include "registry/registry_root.h"
#include "registry/registry_tree.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace handset {

struct RegistryEdit {
    enum class Status { changed, not_found, failed };
    Status status;
    std::string error; // why, when failed
};

// change returns false when what it should change is not there; nothing is saved then.
RegistryEdit edit_registry_file(const std::filesystem::path& file,
                                const std::function<bool(RegistryTree&)>& change);

// Creates the key (and the keys above it) as needed.
RegistryEdit set_registry_value(const std::filesystem::path& file, RegistryRoot root,
                                std::u16string_view key_path, std::u16string_view name,
                                RegistryValue value);
RegistryEdit delete_registry_value(const std::filesystem::path& file, RegistryRoot root,
                                   std::u16string_view key_path, std::u16string_view name);
// Removes the key with everything under it.
RegistryEdit delete_registry_key(const std::filesystem::path& file, RegistryRoot root,
                                 std::u16string_view key_path);

} // namespace handset
