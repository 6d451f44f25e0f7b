#include "cellcore/change_log.h"

namespace handset {

void ChangeLog::note(uint32_t code, int slot) {
    std::lock_guard lock(m_mutex);
    m_changes.push_back({++m_sequence, code, slot});
    if (m_changes.size() > m_kept) {
        m_changes.pop_front();
    }
}

int64_t ChangeLog::newest() {
    std::lock_guard lock(m_mutex);
    return m_sequence;
}

std::vector<CardChange> ChangeLog::after(int64_t sequence) {
    std::lock_guard lock(m_mutex);
    std::vector<CardChange> changes;
    for (const CardChange& change : m_changes) {
        if (change.sequence > sequence) {
            changes.push_back(change);
        }
    }
    return changes;
}

} // namespace handset
