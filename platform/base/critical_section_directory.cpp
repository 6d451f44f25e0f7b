#include "base/critical_section_directory.h"

#include "base/debug_output.h"

namespace handset {

CriticalSectionDirectory& CriticalSectionDirectory::instance() {
    // Never destroyed: detached threads may still leave their sections while the process exits.
    static auto* directory = new CriticalSectionDirectory;
    return *directory;
}

void CriticalSectionDirectory::create(const CRITICAL_SECTION* key) {
    std::lock_guard lock(m_mutex);
    m_sections[key] = std::make_shared<CriticalSection>();
}

std::shared_ptr<CriticalSection> CriticalSectionDirectory::find(const CRITICAL_SECTION* key) {
    std::lock_guard lock(m_mutex);
    const auto found = m_sections.find(key);
    return found == m_sections.end() ? nullptr : found->second;
}

std::shared_ptr<CriticalSection> CriticalSectionDirectory::forget(const CRITICAL_SECTION* key) {
    std::lock_guard lock(m_mutex);
    const auto found = m_sections.find(key);
    if (found == m_sections.end()) {
        return nullptr;
    }
    std::shared_ptr<CriticalSection> section = std::move(found->second);
    m_sections.erase(found);
    return section;
}

namespace {

std::shared_ptr<CriticalSection> find_or_complain(const CRITICAL_SECTION* key, const char* caller) {
    std::shared_ptr<CriticalSection> section = CriticalSectionDirectory::instance().find(key);
    if (!section) {
        debug_printf("%s: critical section %p was not initialised or is deleted", caller,
                     static_cast<const void*>(key));
    }
    return section;
}

} // namespace

} // namespace handset

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    if (section) {
        handset::CriticalSectionDirectory::instance().create(section);
    }
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    const auto forgotten = handset::CriticalSectionDirectory::instance().forget(section);
    if (forgotten && !forgotten->is_free()) {
        handset::debug_printf("DeleteCriticalSection: critical section %p deleted while held",
                              static_cast<const void*>(section));
    }
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    if (const auto found = handset::find_or_complain(section, "EnterCriticalSection")) {
        found->enter(GetCurrentThreadId());
    }
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    const auto found = handset::find_or_complain(section, "LeaveCriticalSection");
    if (found && !found->leave(GetCurrentThreadId())) {
        handset::debug_printf("LeaveCriticalSection: critical section %p is not owned by thread %u",
                              static_cast<const void*>(section), GetCurrentThreadId());
    }
}
