// The loader: every module of the process behind its HMODULE, and every resource handed out
// behind its HRSRC (the HGLOBAL of LoadResource is the same value).
//
// One recursive lock, the loader lock, guards the table and is held while a DllMain runs, as on
// the device: a DllMain may call the loader again (DisableThreadLibraryCalls, FindResource, even
// LoadLibrary) on its own thread, and other threads wait until it returns.
//
// Module handles count up from 1 and are never reused, so a handle kept after its module was
// unloaded does not reach a later module. Resource handles come from a HandleTable and are
// retired with their module.
#pragma once

#include "base/handle_table.h"
#include "base/thread_lifecycle.h"
#include "resources/module.h"

#include <windef.h>

#include <map>
#include <memory>
#include <mutex>
#include <string_view>

namespace handset {

class ModuleTable final : public ThreadLifecycleObserver {
  public:
    static ModuleTable& instance();

    // These set the thread's last error on failure, as the device's calls do.
    HMODULE load_code_module(std::u16string_view name);
    HMODULE load_data_file(std::u16string_view name);
    BOOL free_module(HMODULE handle);
    HMODULE program_module();
    HMODULE code_module_named(std::u16string_view name);
    BOOL disable_thread_calls(HMODULE handle);
    void* export_address(HMODULE handle, const char* name);

    // NULL means the program's module. The shared pointer keeps the module's data alive while
    // the caller reads it, even if another thread frees the module meanwhile.
    std::shared_ptr<const Module> module(HMODULE handle);

    HRSRC find_resource(HMODULE handle, const WCHAR* name, const WCHAR* type);
    // The entry behind a resource handle, which must belong to the module (NULL: the program's).
    const ResEntry* resource(HMODULE handle, uint32_t resource);
    // The entry behind a resource handle of any module.
    const ResEntry* resource(uint32_t resource) const;

    void thread_started() override;
    void thread_ending() override;

  private:
    struct ResourceRef {
        uint32_t module;
        const ResEntry* entry;
    };

    ModuleTable();

    std::shared_ptr<Module> find(HMODULE handle) const;
    // NULL stands for the program's module, which is set up on first use.
    HMODULE resolve(HMODULE handle);
    HMODULE handle_of(const Module* module) const;
    HMODULE add(std::shared_ptr<Module> module);
    HMODULE add_reference_to_existing(const std::shared_ptr<Module>& module);
    void remove(HMODULE handle);
    HMODULE attach(HMODULE handle);
    void notify_threads(DWORD reason);

    mutable std::recursive_mutex m_lock;
    std::map<uint32_t, std::shared_ptr<Module>> m_modules;
    uint32_t m_next_handle = 1;
    uint32_t m_program = 0;
    HandleTable<ResourceRef> m_resources;
};

} // namespace handset
