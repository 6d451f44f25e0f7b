#include "resources/module_table.h"

#include "base/debug_output.h"
#include "base/utf.h"
#include "base/wide_text.h"
#include "resources/embedded_resources.h"
#include "resources/module_search.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <system_error>
#include <vector>

namespace handset {

namespace {

HMODULE fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

std::optional<std::filesystem::path> locate(std::u16string_view name, const char* call) {
    std::optional<std::filesystem::path> path = find_module_file(name);
    if (!path) {
        debug_printf("%s: %s was not found as given nor beside the program", call,
                     utf16_to_utf8(name).c_str());
    }
    return path;
}

// The loader watches threads from the moment the platform loads, so that a thread that was already
// running when a code module came gets that module's detach call when it ends, as on the device.
[[maybe_unused]] const ModuleTable& g_loader = ModuleTable::instance();

std::filesystem::path identity_of(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical;
}

} // namespace

ModuleTable& ModuleTable::instance() {
    // Never destroyed: threads and other libraries' destructors may still reach the loader while
    // the process exits.
    static ModuleTable* table = new ModuleTable();
    return *table;
}

ModuleTable::ModuleTable() {
    set_thread_lifecycle_observer(this);
}

std::shared_ptr<Module> ModuleTable::find(HMODULE handle) const {
    auto found = m_modules.find(handle.value());
    return found != m_modules.end() ? found->second : nullptr;
}

HMODULE ModuleTable::resolve(HMODULE handle) {
    return handle ? handle : program_module();
}

HMODULE ModuleTable::handle_of(const Module* module) const {
    for (const auto& [handle, candidate] : m_modules) {
        if (candidate.get() == module) {
            return HMODULE(handle);
        }
    }
    return nullptr;
}

HMODULE ModuleTable::add(std::shared_ptr<Module> module) {
    uint32_t handle = m_next_handle++;
    m_modules.emplace(handle, std::move(module));
    return HMODULE(handle);
}

HMODULE ModuleTable::add_reference_to_existing(const std::shared_ptr<Module>& module) {
    module->add_reference();
    return handle_of(module.get());
}

void ModuleTable::remove(HMODULE handle) {
    auto found = m_modules.find(handle.value());
    for (uint32_t resource : found->second->resource_handles()) {
        m_resources.remove(resource);
    }
    m_modules.erase(found);
}

// A DllMain that refuses the process attach gets its detach call and is unloaded again, so the
// library can undo whatever it had set up before it gave up.
HMODULE ModuleTable::attach(HMODULE handle) {
    std::shared_ptr<Module> module = find(handle);
    if (module->call_entry_point(handle, DLL_PROCESS_ATTACH)) {
        return handle;
    }
    debug_printf("LoadLibrary: the DllMain of %s refused to attach", module->path().c_str());
    module->call_entry_point(handle, DLL_PROCESS_DETACH);
    remove(handle);
    return fail(ERROR_DLL_INIT_FAILED);
}

HMODULE ModuleTable::load_code_module(std::u16string_view name) {
    std::lock_guard lock(m_lock);
    std::optional<std::filesystem::path> path = locate(name, "LoadLibrary");
    if (!path) {
        return fail(ERROR_MOD_NOT_FOUND);
    }
    std::string error;
    std::unique_ptr<CodeLibrary> library = CodeLibrary::open(*path, error);
    if (!library) {
        debug_printf("LoadLibrary: %s is not a loadable shared object: %s", path->c_str(),
                     error.c_str());
        return fail(ERROR_BAD_EXE_FORMAT);
    }
    for (const auto& [handle, module] : m_modules) {
        if (module->code() != nullptr &&
            module->code()->native_handle() == library->native_handle()) {
            return add_reference_to_existing(module);
        }
    }
    std::span<const BYTE> image = library->embedded_image();
    auto resources = ResourceModule::over_image(image, path->string());
    HMODULE handle = add(std::make_shared<Module>(Module::Kind::code, *path, std::move(resources),
                                                  std::move(library)));
    return attach(handle);
}

HMODULE ModuleTable::load_data_file(std::u16string_view name) {
    std::lock_guard lock(m_lock);
    std::optional<std::filesystem::path> path = locate(name, "LoadLibraryEx");
    if (!path) {
        return fail(ERROR_MOD_NOT_FOUND);
    }
    std::filesystem::path identity = identity_of(*path);
    for (const auto& [handle, module] : m_modules) {
        if (module->kind() == Module::Kind::data_file && module->path() == identity) {
            return add_reference_to_existing(module);
        }
    }
    std::unique_ptr<ResourceModule> resources = ResourceModule::from_file(identity);
    if (!resources) {
        return fail(ERROR_BAD_FORMAT);
    }
    return add(std::make_shared<Module>(Module::Kind::data_file, identity, std::move(resources)));
}

BOOL ModuleTable::free_module(HMODULE handle) {
    std::lock_guard lock(m_lock);
    std::shared_ptr<Module> module = find(handle);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (module->kind() == Module::Kind::program || module->drop_reference() > 0) {
        return TRUE;
    }
    module->call_entry_point(handle, DLL_PROCESS_DETACH);
    remove(handle);
    return TRUE;
}

HMODULE ModuleTable::program_module() {
    std::lock_guard lock(m_lock);
    if (m_program == 0) {
        std::error_code error;
        std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
        auto resources =
            ResourceModule::over_image(program_embedded_image(), "embedded in " + program.string());
        m_program =
            add(std::make_shared<Module>(Module::Kind::program, program, std::move(resources)))
                .value();
    }
    return HMODULE(m_program);
}

HMODULE ModuleTable::code_module_named(std::u16string_view name) {
    std::lock_guard lock(m_lock);
    std::u16string wanted =
        utf8_to_utf16(std::filesystem::path(utf16_to_utf8(name)).filename().string());
    program_module();
    for (const auto& [handle, module] : m_modules) {
        std::u16string file_name = utf8_to_utf16(module->path().filename().string());
        if (module->kind() != Module::Kind::data_file &&
            compare_ignoring_case(file_name, wanted) == 0) {
            return HMODULE(handle);
        }
    }
    return fail(ERROR_MOD_NOT_FOUND);
}

BOOL ModuleTable::disable_thread_calls(HMODULE handle) {
    std::lock_guard lock(m_lock);
    std::shared_ptr<Module> module = find(handle);
    if (!module || module->kind() == Module::Kind::data_file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    module->disable_thread_calls();
    return TRUE;
}

void* ModuleTable::export_address(HMODULE handle, const char* name) {
    std::lock_guard lock(m_lock);
    std::shared_ptr<Module> module = find(resolve(handle));
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* address = module->code() != nullptr ? module->code()->own_symbol(name) : nullptr;
    if (address == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return address;
}

std::shared_ptr<const Module> ModuleTable::module(HMODULE handle) {
    std::lock_guard lock(m_lock);
    return find(resolve(handle));
}

HRSRC ModuleTable::find_resource(HMODULE handle, const WCHAR* name, const WCHAR* type) {
    std::lock_guard lock(m_lock);
    handle = resolve(handle);
    std::shared_ptr<Module> module = find(handle);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const ResEntry* entry = module->resources().find(name, type);
    if (entry == nullptr) {
        SetLastError(module->resources().has_type(type) ? ERROR_RESOURCE_NAME_NOT_FOUND
                                                        : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    uint32_t resource = module->resource_handle(entry);
    if (resource == 0) {
        resource = m_resources.add({handle.value(), entry});
        if (resource == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        module->remember_resource_handle(entry, resource);
    }
    return HRSRC(resource);
}

const ResEntry* ModuleTable::resource(HMODULE handle, uint32_t resource) {
    std::lock_guard lock(m_lock);
    std::optional<ResourceRef> ref = m_resources.find(resource);
    return ref && ref->module == resolve(handle).value() ? ref->entry : nullptr;
}

const ResEntry* ModuleTable::resource(uint32_t resource) const {
    std::optional<ResourceRef> ref = m_resources.find(resource);
    return ref ? ref->entry : nullptr;
}

// Each module is looked up again before its call, because a DllMain may unload modules.
void ModuleTable::notify_threads(DWORD reason) {
    std::lock_guard lock(m_lock);
    std::vector<uint32_t> handles;
    for (const auto& [handle, module] : m_modules) {
        handles.push_back(handle);
    }
    for (uint32_t handle : handles) {
        std::shared_ptr<Module> module = find(HMODULE(handle));
        if (module && module->wants_thread_calls()) {
            module->call_entry_point(HMODULE(handle), reason);
        }
    }
}

void ModuleTable::thread_started() {
    notify_threads(DLL_THREAD_ATTACH);
}

void ModuleTable::thread_ending() {
    notify_threads(DLL_THREAD_DETACH);
}

} // namespace handset
