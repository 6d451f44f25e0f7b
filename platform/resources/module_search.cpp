#include "resources/module_search.h"

#include "base/device_folder.h"
#include "base/utf.h"

#include <system_error>

namespace handset {

namespace {

bool is_file(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::filesystem::path program_folder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

std::optional<std::filesystem::path> find_module_file(std::u16string_view name) {
    std::filesystem::path given(utf16_to_utf8(name));
    if (given.empty()) {
        return std::nullopt;
    }
    if (given.is_absolute()) {
        return is_file(given) ? std::optional(given) : std::nullopt;
    }
    // A device named by a relative path is the person's own choice of folder, so it is taken
    // from where they named it; the program's folder is always absolute, or unknown and skipped.
    std::error_code error;
    const std::filesystem::path device = std::filesystem::absolute(device_folder(), error);
    for (const std::filesystem::path& folder : {program_folder(), device}) {
        if (!folder.empty() && is_file(folder / given)) {
            return folder / given;
        }
    }
    return std::nullopt;
}

} // namespace handset
