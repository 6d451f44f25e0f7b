#include "cellcore/modem_change_feed.h"

namespace handset {

ModemChangeFeed::ModemChangeFeed(std::shared_ptr<ModemLink> link)
    : m_link(std::move(link)), m_last_sequence(m_link->newest_change()) {}

std::vector<CardChange> ModemChangeFeed::poll() {
    std::vector<CardChange> changes = m_link->changes_after(m_last_sequence);
    if (!changes.empty()) {
        m_last_sequence = changes.back().sequence;
    }
    return changes;
}

} // namespace handset
