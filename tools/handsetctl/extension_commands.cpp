#include "commands.h"
#include "text_output.h"

#include "base/device_folder.h"
#include "com/guid_text.h"
#include "registry/key_path.h"
#include "registry/registry_editor.h"

#include <shlobj.h>

namespace handsetctl {

namespace {

using handset::RegistryEdit;
using handset::RegistryRoot;
using handset::RegistryTree;

// {AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}: Quorrel's "Copy to SIM".
constexpr GUID quorrel_class = {
    0xAA01964D, 0x85CC, 0x44DC, {0x9F, 0xFF, 0xEE, 0xDC, 0xFA, 0x94, 0x5C, 0xBB}};
constexpr const char* quorrel_library = "Quorrel.dll";

std::filesystem::path registry_path() {
    return handset::device_folder() / "registry.reg";
}

std::vector<std::u16string> menu_key() {
    return *handset::split_key_path(REGKEY_CONTACTS_ITEM_CONTEXT_MENUS);
}

std::vector<std::u16string> server_key(const std::u16string& clsid) {
    return {u"CLSID", clsid, u"InprocServer32"};
}

// The class identifier as the registry spells it, whatever case it was given in.
std::u16string class_named(const std::string& text) {
    const std::optional<GUID> clsid = handset::guid_from_text(utf16(text));
    if (!clsid) {
        throw UsageError("'" + text + "' is not a class identifier such as {" +
                         "AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}");
    }
    return handset::guid_to_text(*clsid);
}

void save(const std::function<bool(RegistryTree&)>& change, const std::string& missing) {
    const RegistryEdit edit = handset::edit_registry_file(registry_path(), change);
    if (edit.status == RegistryEdit::Status::not_found) {
        throw OperationError(missing);
    }
    if (edit.status == RegistryEdit::Status::failed) {
        throw OperationError(edit.error);
    }
}

// The library path registered for the class, or empty.
std::u16string library_of(const RegistryTree& tree, const std::u16string& clsid) {
    const handset::RegistryKey* key =
        tree.root(RegistryRoot::classes_root).descendant(server_key(clsid));
    const handset::RegistryValue* value = key ? key->value(u"") : nullptr;
    return value ? value->as_string().value_or(u"") : u"";
}

void add(Arguments& words, std::ostream& out) {
    const std::u16string clsid = class_named(words.word("CLSID"));
    const std::string path = words.word("PATH");
    words.finish();
    register_menu_extension(clsid, std::filesystem::absolute(path), out);
}

void remove(Arguments& words, std::ostream& out) {
    const std::u16string clsid = class_named(words.word("CLSID"));
    words.finish();
    save(
        [&](RegistryTree& tree) {
            std::vector<std::u16string> entry = menu_key();
            entry.push_back(clsid);
            const bool listed = tree.root(RegistryRoot::local_machine).remove_descendant(entry);
            const bool served =
                tree.root(RegistryRoot::classes_root).remove_descendant({u"CLSID", clsid});
            return listed || served;
        },
        utf8(clsid) + " is not registered");
    out << "unregistered " << utf8(clsid) << "\n";
}

void list(Arguments& words, std::ostream& out) {
    words.finish();
    std::vector<std::string> problems;
    const RegistryTree tree = read_registry(problems);
    for (const std::string& problem : problems) {
        out << "problem: " << problem << "\n";
    }
    const handset::RegistryKey* menus =
        tree.root(RegistryRoot::local_machine).descendant(menu_key());
    const size_t count = menus ? menus->children().size() : 0;
    out << count << (count == 1 ? " context-menu extension\n" : " context-menu extensions\n");
    if (menus == nullptr) {
        return;
    }
    for (const auto& [folded, entry] : menus->children()) {
        const std::u16string library = library_of(tree, entry->name());
        out << "  " << utf8(entry->name()) << "  "
            << (library.empty() ? std::string("(no library registered)") : utf8(library)) << "\n";
    }
}

} // namespace

const char* const extension_usage = R"(usage: handsetctl extension register CLSID PATH
       handsetctl extension unregister CLSID
       handsetctl extension list
The context-menu extensions of the Contacts application. register makes PATH the class's
in-process server (HKEY_CLASSES_ROOT\CLSID\{CLSID}\InprocServer32) and adds the class to the
contacts' context menu (HKEY_LOCAL_MACHINE\Software\Microsoft\Shell\Extensions\ContextMenus\
Contacts\ItemContext\{CLSID}); a relative PATH is taken from the current folder. unregister
removes both. The Contacts application reads them each time it shows its menu.
handsetctl init registers Quorrel ({AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}) with the Quorrel.dll
beside handsetctl, where the build puts it.
)";

void register_menu_extension(const std::u16string& clsid, const std::filesystem::path& library,
                             std::ostream& out) {
    const std::u16string path = utf16(library.string());
    save(
        [&](RegistryTree& tree) {
            tree.root(RegistryRoot::classes_root)
                .descendant_or_add(server_key(clsid))
                .set_value(u"", handset::RegistryValue::string(path));
            std::vector<std::u16string> entry = menu_key();
            entry.push_back(clsid);
            tree.root(RegistryRoot::local_machine).descendant_or_add(entry);
            return true;
        },
        {});
    out << "registered the context-menu extension " << utf8(clsid) << ": " << library.string()
        << "\n";
}

void register_quorrel(std::ostream& out) {
    const std::filesystem::path programs =
        std::filesystem::read_symlink("/proc/self/exe").parent_path();
    register_menu_extension(handset::guid_to_text(quorrel_class), programs / quorrel_library, out);
}

void extension_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the extension command");
    if (action == "register") {
        add(words, out);
    } else if (action == "unregister") {
        remove(words, out);
    } else if (action == "list") {
        list(words, out);
    } else {
        throw UsageError("unknown extension command '" + action + "'");
    }
}

} // namespace handsetctl
