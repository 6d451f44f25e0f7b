// RegOpenKeyExW, RegQueryValueExW and RegCloseKey over the registry store. An open key is its
// root and path, not a node of the tree: the tree is replaced whenever the file changes, and the
// key is looked up again in the current tree on every query.
#include "base/handle_table.h"
#include "registry/key_path.h"
#include "registry/registry_store.h"

#include <winreg.h>

#include <cstring>
#include <optional>

namespace handset {

namespace {

struct OpenKey {
    RegistryRoot root;
    std::vector<std::u16string> path;
};

HandleTable<OpenKey>& open_keys() {
    // Never destroyed: detached threads may close keys while the process exits.
    static auto* table = new HandleTable<OpenKey>;
    return *table;
}

std::optional<OpenKey> predefined_key(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) {
        return OpenKey{RegistryRoot::local_machine, {}};
    }
    if (key == HKEY_CLASSES_ROOT) {
        return OpenKey{RegistryRoot::classes_root, {}};
    }
    return std::nullopt;
}

std::optional<OpenKey> open_key(HKEY key) {
    if (auto predefined = predefined_key(key)) {
        return predefined;
    }
    return open_keys().find(key.value());
}

const RegistryKey* find_key(const RegistryTree& tree, const OpenKey& key) {
    return tree.root(key.root).descendant(key.path);
}

} // namespace

} // namespace handset

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD, REGSAM, PHKEY result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = HKEY{};
    std::optional<handset::OpenKey> base = handset::open_key(key);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const auto names = handset::split_key_path(sub_key ? sub_key : u"");
    if (!names) {
        return ERROR_BAD_PATHNAME;
    }
    handset::OpenKey opened{base->root, std::move(base->path)};
    opened.path.insert(opened.path.end(), names->begin(), names->end());
    if (handset::find_key(*handset::RegistryStore::instance().current(), opened) == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    const uint32_t handle = handset::open_keys().add(std::move(opened));
    if (handle == 0) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *result = HKEY(handle);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD data_size) {
    if (data != nullptr && data_size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::optional<handset::OpenKey> opened = handset::open_key(key);
    if (!opened) {
        return ERROR_INVALID_HANDLE;
    }
    const auto tree = handset::RegistryStore::instance().current();
    const handset::RegistryKey* found = handset::find_key(*tree, *opened);
    if (found == nullptr) {
        return ERROR_KEY_DELETED;
    }
    const handset::RegistryValue* value = found->value(name ? name : u"");
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->type;
    }
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (data != nullptr && *data_size < size) {
        *data_size = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size > 0) {
        std::memcpy(data, value->data.data(), size);
    }
    if (data_size) {
        *data_size = size;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (handset::predefined_key(key)) {
        return ERROR_SUCCESS;
    }
    return handset::open_keys().remove(key.value()) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
