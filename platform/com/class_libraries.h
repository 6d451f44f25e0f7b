// The in-process server libraries that CoCreateInstance has loaded for registered classes.
//
// A class is registered by the default value of HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32:
// the path of its library. Each library is loaded once, on first use, and stays loaded while the
// process uses COM; when the last thread ends its COM initialisation, the libraries whose
// DllCanUnloadNow answers S_OK are freed (one without that export, or with live objects, stays).
#pragma once

#include <libloaderapi.h>
#include <objbase.h>

#include <mutex>
#include <string>
#include <vector>

namespace handset {

class ClassLibraries {
  public:
    static ClassLibraries& instance();

    // The class factory of a registered class, with one reference for the caller. Fails with
    // REGDB_E_CLASSNOTREG when the class has no library path, 0x8007007E when the library cannot
    // be loaded, CO_E_ERRORINDLL when it has no DllGetClassObject, or what that export answers.
    HRESULT class_factory(const CLSID& clsid, IClassFactory** factory);

    void free_unused();

  private:
    struct Library {
        std::u16string path;
        HMODULE module;
        LPFNGETCLASSOBJECT get_class_object;
        LPFNCANUNLOADNOW can_unload_now;
    };

    // Needs m_mutex held. nullptr, with status set, on failure.
    const Library* load(const std::u16string& path, HRESULT& status);

    std::mutex m_mutex;
    std::vector<Library> m_libraries;
};

} // namespace handset
