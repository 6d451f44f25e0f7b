// The classes that the platform itself serves in process, such as the contacts application
// object. Modules above the COM run-time register theirs while the library loads, so the run-time
// need not know them.
#pragma once

#include <objbase.h>

#include <mutex>
#include <vector>

namespace handset {

// Makes a new object of the class and hands out its interface iid in *out (nullptr on failure).
using BuiltinClassCreator = HRESULT (*)(REFIID iid, void** out);

class BuiltinClasses {
  public:
    static BuiltinClasses& instance();

    void add(const CLSID& clsid, BuiltinClassCreator creator);
    // nullptr when the platform does not serve the class.
    BuiltinClassCreator find(const CLSID& clsid) const;

  private:
    struct Entry {
        CLSID clsid;
        BuiltinClassCreator creator;
    };

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
};

// Registers a class from a static object of the module that serves it.
struct BuiltinClassRegistration {
    BuiltinClassRegistration(const CLSID& clsid, BuiltinClassCreator creator) {
        BuiltinClasses::instance().add(clsid, creator);
    }
};

} // namespace handset
