#include "registry/reg_file_writer.h"

#include "base/utf.h"
#include "base/write_fully.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace handset {

namespace {

constexpr size_t hex_bytes_per_line = 25;

// A temporary is ".<name>." followed by the characters mkostemp puts in place of six X.
constexpr size_t temporary_suffix_length = 6;

std::string temporary_prefix(const std::filesystem::path& file) {
    return "." + file.filename().string() + ".";
}

std::filesystem::path folder_of(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string quote(std::u16string_view text) {
    std::string out = "\"";
    for (char c : utf16_to_utf8(text)) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// Text that a quoted string carries unchanged: no line breaks (a line ends the string) and no
// lone surrogates (UTF-8 cannot hold them).
bool fits_in_quotes(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || c == u'\r') {
            return false;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

std::string hex_data(const RegistryValue& value) {
    char prefix[24];
    if (value.type == registry_type_binary) {
        std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    }
    std::string out = prefix;
    for (size_t i = 0; i < value.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", value.data[i]);
        out += byte;
        if (i + 1 < value.data.size()) {
            out += (i + 1) % hex_bytes_per_line == 0 ? ",\\\n  " : ",";
        }
    }
    return out;
}

std::string data_text(const RegistryValue& value) {
    if (const auto text = value.as_string(); text && fits_in_quotes(*text)) {
        return quote(*text);
    }
    if (const auto number = value.as_dword()) {
        char out[16];
        std::snprintf(out, sizeof out, "dword:%08x", *number);
        return out;
    }
    return hex_data(value);
}

// A key gets a section when it has values, or when it has no subkeys (else it would vanish);
// keys with only subkeys come back through their subkeys' sections.
void write_key(std::string& out, const RegistryKey& key, const std::string& path, bool is_root) {
    if (!key.values().empty() || (!is_root && key.children().empty())) {
        out += "[" + path + "]\n";
        for (const auto& [folded, named] : key.values()) {
            out += named.name.empty() ? "@" : quote(named.name);
            out += "=" + data_text(named.value) + "\n";
        }
        out += "\n";
    }
    for (const auto& [folded, child] : key.children()) {
        write_key(out, *child, path + "\\" + utf16_to_utf8(child->name()), false);
    }
}

// The rename is only lasting once the folder's entry is on disk as well.
void sync_folder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace

std::string write_reg_file(const RegistryTree& tree) {
    std::string out = "REGEDIT4\n\n";
    for (RegistryRoot root : all_registry_roots) {
        write_key(out, tree.root(root), utf16_to_utf8(registry_root_name(root)), true);
    }
    return out;
}

void remove_leftover_temporaries(const std::filesystem::path& file) {
    const std::string prefix = temporary_prefix(file);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_of(file), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + temporary_suffix_length && name.starts_with(prefix)) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

bool save_reg_file(const std::filesystem::path& file, const RegistryTree& tree,
                   std::string& error) {
    const std::filesystem::path folder = folder_of(file);
    std::string temporary =
        (folder / (temporary_prefix(file) + std::string(temporary_suffix_length, 'X'))).string();
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot create a file in " + folder.string() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = write_fully(descriptor, write_reg_file(tree)) &&
                         ::fchmod(descriptor, 0600) == 0 && ::fsync(descriptor) == 0;
    const int write_errno = errno;
    ::close(descriptor);
    if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        error =
            "cannot write " + file.string() + ": " + std::strerror(written ? errno : write_errno);
        ::unlink(temporary.c_str());
        return false;
    }
    sync_folder(folder);
    return true;
}

} // namespace handset
