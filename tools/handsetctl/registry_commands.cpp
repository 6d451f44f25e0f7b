#include "commands.h"
#include "text_output.h"

#include "base/device_folder.h"
#include "registry/key_path.h"
#include "registry/reg_file_parser.h"
#include "registry/registry_editor.h"

#include <fstream>
#include <iterator>

namespace handsetctl {

namespace {

using handset::RegistryEdit;
using handset::RegistryRoot;
using handset::RegistryValue;

std::filesystem::path registry_path() {
    return handset::device_folder() / "registry.reg";
}

// A key as people write it: under HKEY_LOCAL_MACHINE unless it names another root first.
struct KeyName {
    RegistryRoot root = RegistryRoot::local_machine;
    std::u16string path;
    std::vector<std::u16string> names;
};

KeyName key_named(const std::string& text) {
    KeyName key;
    key.path = utf16(text);
    const size_t separator = key.path.find(u'\\');
    const auto root =
        handset::registry_root_named(std::u16string_view(key.path).substr(0, separator));
    if (root) {
        key.root = *root;
        key.path = separator == std::u16string::npos ? u"" : key.path.substr(separator + 1);
    }
    const auto names = handset::split_key_path(key.path);
    if (!names) {
        throw UsageError("'" + text + "' is not a registry key");
    }
    key.names = *names;
    return key;
}

std::string value_text(const RegistryValue& value) {
    if (const std::optional<DWORD> number = value.as_dword()) {
        return "dword " + hex_dword(*number) + " (" + std::to_string(*number) + ")";
    }
    if (const std::optional<std::u16string> text = value.as_string()) {
        return "string \"" + shown(*text) + "\"";
    }
    std::string bytes = "hex(" + std::to_string(value.type) + ")";
    char pair[4];
    for (const BYTE byte : value.data) {
        std::snprintf(pair, sizeof pair, "%s%02x", bytes.back() == ')' ? ":" : ",", byte);
        bytes += pair;
    }
    return bytes;
}

void check(const RegistryEdit& edit, const std::string& missing) {
    if (edit.status == RegistryEdit::Status::not_found) {
        throw OperationError(missing);
    }
    if (edit.status == RegistryEdit::Status::failed) {
        throw OperationError(edit.error);
    }
}

void get(Arguments& words, std::ostream& out) {
    const std::string key_text = words.word("KEY");
    const KeyName key = key_named(key_text);
    const std::string name = words.word("VALUE");
    words.finish();
    std::vector<std::string> problems;
    const handset::RegistryTree tree = read_registry(problems);
    const handset::RegistryKey* found = tree.root(key.root).descendant(key.names);
    const RegistryValue* value = found ? found->value(utf16(name)) : nullptr;
    if (value == nullptr) {
        throw OperationError("there is no value \"" + name + "\" under " + key_text);
    }
    out << value_text(*value) << "\n";
}

void set(Arguments& words, std::ostream& out) {
    const std::optional<std::string> number = words.option("--dword");
    const std::optional<std::string> text = words.option("--string");
    const std::string key_text = words.word("KEY");
    const KeyName key = key_named(key_text);
    const std::string name = words.word("VALUE");
    words.finish();
    if (number.has_value() == text.has_value()) {
        throw UsageError("give the value as either --dword N or --string TEXT");
    }
    const RegistryValue value = number ? RegistryValue::dword(static_cast<DWORD>(
                                             parse_integer(*number, "--dword", 0, 0xFFFFFFFF)))
                                       : RegistryValue::string(utf16(*text));
    check(handset::set_registry_value(registry_path(), key.root, key.path, utf16(name), value), {});
    out << key_text << " \"" << name << "\" = " << value_text(value) << "\n";
}

void erase(Arguments& words, std::ostream& out) {
    const std::string key_text = words.word("KEY");
    const KeyName key = key_named(key_text);
    const std::optional<std::string> name = words.optional_word();
    words.finish();
    if (name) {
        check(handset::delete_registry_value(registry_path(), key.root, key.path, utf16(*name)),
              "there is no value \"" + *name + "\" under " + key_text);
        out << "deleted " << key_text << " \"" << *name << "\"\n";
        return;
    }
    if (key.names.empty()) {
        throw UsageError("a whole root cannot be deleted");
    }
    check(handset::delete_registry_key(registry_path(), key.root, key.path),
          "there is no key " + key_text);
    out << "deleted " << key_text << "\n";
}

} // namespace

handset::RegistryTree read_registry(std::vector<std::string>& problems) {
    const std::filesystem::path file = registry_path();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        problems.push_back("cannot read " + file.string());
        return {};
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    handset::RegFileParser parser([&](const handset::RegFileParser::Problem& problem) {
        problems.push_back(file.string() + ":" + std::to_string(problem.line_number) +
                           ": cannot read '" + std::string(problem.text) + "'");
    });
    return parser.parse(text);
}

void registry_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the reg command");
    if (action == "get") {
        get(words, out);
    } else if (action == "set") {
        set(words, out);
    } else if (action == "delete") {
        erase(words, out);
    } else {
        throw UsageError("unknown reg command '" + action + "'");
    }
}

} // namespace handsetctl
