#include "resources/code_library.h"

#include "resources/embedded_resources.h"

#include <dlfcn.h>
#include <link.h>

namespace handset {

std::unique_ptr<CodeLibrary> CodeLibrary::open(const std::filesystem::path& path,
                                               std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
        return nullptr;
    }
    return std::unique_ptr<CodeLibrary>(new CodeLibrary(handle));
}

CodeLibrary::~CodeLibrary() {
    dlclose(m_handle);
}

void* CodeLibrary::own_symbol(const char* name) const {
    void* address = dlsym(m_handle, name);
    if (address == nullptr) {
        return nullptr;
    }
    link_map* own = nullptr;
    link_map* defining = nullptr;
    Dl_info info;
    if (dlinfo(m_handle, RTLD_DI_LINKMAP, &own) != 0 ||
        dladdr1(address, &info, reinterpret_cast<void**>(&defining), RTLD_DL_LINKMAP) == 0) {
        return nullptr;
    }
    return defining == own ? address : nullptr;
}

std::span<const BYTE> CodeLibrary::embedded_image() const {
    return library_embedded_image(m_handle);
}

} // namespace handset
