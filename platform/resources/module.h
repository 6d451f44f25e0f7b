// One loaded module: the running program, a resource file loaded as data, or a code module (a
// shared object with its optional DllMain). The module table owns modules and guards them with
// the loader lock; nothing here locks.
#pragma once

#include "resources/code_library.h"
#include "resources/resource_module.h"

#include <windef.h>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace handset {

class Module {
  public:
    enum class Kind { program, data_file, code };

    Module(Kind kind, std::filesystem::path path, std::unique_ptr<ResourceModule> resources,
           std::unique_ptr<CodeLibrary> code = nullptr);

    Kind kind() const { return m_kind; }
    const std::filesystem::path& path() const { return m_path; }
    const ResourceModule& resources() const { return *m_resources; }
    const CodeLibrary* code() const { return m_code.get(); }

    void add_reference() { ++m_references; }
    // The references left after dropping one.
    unsigned drop_reference() { return --m_references; }

    // Calls DllMain, if the module has one; a module without one accepts every call.
    BOOL call_entry_point(HMODULE self, DWORD reason) const;
    // Whether DllMain hears of threads that CreateThread makes.
    bool wants_thread_calls() const { return m_entry_point != nullptr && m_thread_calls; }
    void disable_thread_calls() { m_thread_calls = false; }

    // The resource handles handed out for this module's entries, so that finding the same
    // resource again gives the same handle, and unloading can retire them all.
    uint32_t resource_handle(const ResEntry* entry) const;
    void remember_resource_handle(const ResEntry* entry, uint32_t handle);
    std::vector<uint32_t> resource_handles() const;

  private:
    using EntryPoint = BOOL (*)(HINSTANCE, DWORD, LPVOID);

    Kind m_kind;
    std::filesystem::path m_path;
    std::unique_ptr<ResourceModule> m_resources;
    std::unique_ptr<CodeLibrary> m_code;
    EntryPoint m_entry_point = nullptr;
    unsigned m_references = 1;
    bool m_thread_calls = true;
    std::map<const ResEntry*, uint32_t> m_resource_handles;
};

} // namespace handset
