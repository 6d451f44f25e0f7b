#include "registry/key_path.h"

namespace handset {

std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path) {
    if (!path.empty() && path.back() == u'\\') {
        path.remove_suffix(1);
    }
    std::vector<std::u16string> names;
    if (path.empty()) {
        return names;
    }
    for (;;) {
        const size_t separator = path.find(u'\\');
        const std::u16string_view name = path.substr(0, separator);
        if (name.empty() || name.size() > max_key_name_length || names.size() == max_key_depth) {
            return std::nullopt;
        }
        names.emplace_back(name);
        if (separator == std::u16string_view::npos) {
            return names;
        }
        path.remove_prefix(separator + 1);
    }
}

} // namespace handset
