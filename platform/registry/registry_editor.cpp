#include "registry/registry_editor.h"

#include "registry/edit_lock.h"
#include "registry/key_path.h"
#include "registry/reg_file_parser.h"
#include "registry/reg_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace handset {

namespace {

RegistryEdit failed(std::string error) {
    return {RegistryEdit::Status::failed, std::move(error)};
}

// The file's tree, or the reason it may not be rewritten.
std::optional<RegistryTree> load_for_edit(const std::filesystem::path& file, std::string& error) {
    std::error_code missing;
    if (!std::filesystem::exists(file, missing)) {
        return RegistryTree();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    RegFileParser parser([&](const RegFileParser::Problem& problem) {
        if (problem.loses_content && error.empty()) {
            error = file.string() + ":" + std::to_string(problem.line_number) + ": " +
                    std::string(problem.text) + "; correct the file before changing it";
        }
    });
    RegistryTree tree = parser.parse(text);
    if (!error.empty()) {
        return std::nullopt;
    }
    return tree;
}

bool has_line_break(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

} // namespace

RegistryEdit edit_registry_file(const std::filesystem::path& file,
                                const std::function<bool(RegistryTree&)>& change) {
    const EditLock lock(file);
    if (!lock.error().empty()) {
        return failed(lock.error());
    }
    std::string error;
    std::optional<RegistryTree> tree = load_for_edit(file, error);
    if (!tree) {
        return failed(error);
    }
    if (!change(*tree)) {
        return {RegistryEdit::Status::not_found, {}};
    }
    remove_leftover_temporaries(file);
    if (!save_reg_file(file, *tree, error)) {
        return failed(error);
    }
    return {RegistryEdit::Status::changed, {}};
}

RegistryEdit set_registry_value(const std::filesystem::path& file, RegistryRoot root,
                                std::u16string_view key_path, std::u16string_view name,
                                RegistryValue value) {
    const auto names = split_key_path(key_path);
    if (!names) {
        return failed("bad key path");
    }
    if (has_line_break(name) || std::any_of(names->begin(), names->end(), has_line_break)) {
        return failed("a name cannot hold a line break");
    }
    return edit_registry_file(file, [&](RegistryTree& tree) {
        tree.root(root).descendant_or_add(*names).set_value(name, std::move(value));
        return true;
    });
}

RegistryEdit delete_registry_value(const std::filesystem::path& file, RegistryRoot root,
                                   std::u16string_view key_path, std::u16string_view name) {
    const auto names = split_key_path(key_path);
    if (!names) {
        return failed("bad key path");
    }
    return edit_registry_file(file, [&](RegistryTree& tree) {
        RegistryKey* key = tree.root(root).descendant(*names);
        return key != nullptr && key->remove_value(name);
    });
}

RegistryEdit delete_registry_key(const std::filesystem::path& file, RegistryRoot root,
                                 std::u16string_view key_path) {
    const auto names = split_key_path(key_path);
    if (!names || names->empty()) {
        return failed("bad key path");
    }
    return edit_registry_file(
        file, [&](RegistryTree& tree) { return tree.root(root).remove_descendant(*names); });
}

} // namespace handset
