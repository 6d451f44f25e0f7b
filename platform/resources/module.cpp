#include "resources/module.h"

namespace handset {

Module::Module(Kind kind, std::filesystem::path path, std::unique_ptr<ResourceModule> resources,
               std::unique_ptr<CodeLibrary> code)
    : m_kind(kind), m_path(std::move(path)), m_resources(std::move(resources)),
      m_code(std::move(code)) {
    if (m_code) {
        m_entry_point = reinterpret_cast<EntryPoint>(m_code->own_symbol("DllMain"));
    }
}

BOOL Module::call_entry_point(HMODULE self, DWORD reason) const {
    return m_entry_point != nullptr ? m_entry_point(self, reason, nullptr) : TRUE;
}

uint32_t Module::resource_handle(const ResEntry* entry) const {
    auto found = m_resource_handles.find(entry);
    return found != m_resource_handles.end() ? found->second : 0;
}

void Module::remember_resource_handle(const ResEntry* entry, uint32_t handle) {
    m_resource_handles[entry] = handle;
}

std::vector<uint32_t> Module::resource_handles() const {
    std::vector<uint32_t> handles;
    for (const auto& [entry, handle] : m_resource_handles) {
        handles.push_back(handle);
    }
    return handles;
}

} // namespace handset
