#include "com/class_libraries.h"

#include "base/debug_output.h"
#include "base/utf.h"
#include "com/guid_text.h"

#include <winreg.h>

#include <algorithm>

namespace handset {

namespace {

// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), what the device answers for a library it cannot load.
constexpr HRESULT library_not_found = static_cast<HRESULT>(0x8007007E);

// The library path registered for clsid; empty when the class is not registered.
std::u16string registered_library(const CLSID& clsid) {
    const std::u16string key_path = u"CLSID\\" + guid_to_text(clsid) + u"\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    std::u16string path;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ && size >= sizeof(WCHAR)) {
        path.resize(size / sizeof(WCHAR));
        if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(path.data()),
                             &size) != ERROR_SUCCESS) {
            path.clear();
        }
        // The byte count includes the terminator.
        path.resize(std::min<size_t>(path.find(u'\0'), path.size()));
    }
    RegCloseKey(key);
    return path;
}

} // namespace

ClassLibraries& ClassLibraries::instance() {
    static ClassLibraries libraries;
    return libraries;
}

const ClassLibraries::Library* ClassLibraries::load(const std::u16string& path, HRESULT& status) {
    for (const Library& library : m_libraries) {
        if (library.path == path) {
            return &library;
        }
    }
    const HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) {
        debug_printf("CoCreateInstance: cannot load %s", utf16_to_utf8(path).c_str());
        status = library_not_found;
        return nullptr;
    }
    auto get_class_object =
        reinterpret_cast<LPFNGETCLASSOBJECT>(GetProcAddressW(module, u"DllGetClassObject"));
    if (get_class_object == nullptr) {
        debug_printf("CoCreateInstance: %s exports no DllGetClassObject",
                     utf16_to_utf8(path).c_str());
        FreeLibrary(module);
        status = CO_E_ERRORINDLL;
        return nullptr;
    }
    auto can_unload_now =
        reinterpret_cast<LPFNCANUNLOADNOW>(GetProcAddressW(module, u"DllCanUnloadNow"));
    m_libraries.push_back({path, module, get_class_object, can_unload_now});
    return &m_libraries.back();
}

HRESULT ClassLibraries::class_factory(const CLSID& clsid, IClassFactory** factory) {
    *factory = nullptr;
    const std::u16string path = registered_library(clsid);
    if (path.empty()) {
        debug_printf("CoCreateInstance: class %s is not registered",
                     utf16_to_utf8(guid_to_text(clsid)).c_str());
        return REGDB_E_CLASSNOTREG;
    }
    LPFNGETCLASSOBJECT get_class_object = nullptr;
    {
        std::lock_guard lock(m_mutex);
        HRESULT status = S_OK;
        const Library* library = load(path, status);
        if (library == nullptr) {
            return status;
        }
        get_class_object = library->get_class_object;
    }
    // Called without the lock: the library may create further objects from inside.
    void* object = nullptr;
    const HRESULT status = get_class_object(clsid, IID_IClassFactory, &object);
    *factory = SUCCEEDED(status) ? static_cast<IClassFactory*>(object) : nullptr;
    return SUCCEEDED(status) && object == nullptr ? E_UNEXPECTED : status;
}

void ClassLibraries::free_unused() {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_libraries, [](const Library& library) {
        if (library.can_unload_now == nullptr || library.can_unload_now() != S_OK) {
            return false;
        }
        FreeLibrary(library.module);
        return true;
    });
}

} // namespace handset
