#include "resources/module_search.h"

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
    if (is_file(given)) {
        return std::filesystem::absolute(given);
    }
    if (given.is_relative()) {
        std::filesystem::path beside = program_folder() / given;
        if (is_file(beside)) {
            return beside;
        }
    }
    return std::nullopt;
}

} // namespace handset
