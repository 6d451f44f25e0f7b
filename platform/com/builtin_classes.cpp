#include "com/builtin_classes.h"

namespace handset {

BuiltinClasses& BuiltinClasses::instance() {
    // Built on first use, so registrations from static objects of other files find it ready
    // whatever the order of static initialisation.
    static BuiltinClasses classes;
    return classes;
}

void BuiltinClasses::add(const CLSID& clsid, BuiltinClassCreator creator) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back({clsid, creator});
}

BuiltinClassCreator BuiltinClasses::find(const CLSID& clsid) const {
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (IsEqualGUID(entry.clsid, clsid)) {
            return entry.creator;
        }
    }
    return nullptr;
}

} // namespace handset
