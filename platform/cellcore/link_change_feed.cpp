#include "cellcore/link_change_feed.h"

namespace handset {

LinkChangeFeed::LinkChangeFeed(std::shared_ptr<ChangeSource> source)
    : m_source(std::move(source)), m_last_sequence(m_source->newest_change()) {}

std::vector<CardChange> LinkChangeFeed::poll() {
    std::vector<CardChange> changes = m_source->changes_after(m_last_sequence);
    if (!changes.empty()) {
        m_last_sequence = changes.back().sequence;
    }
    return changes;
}

} // namespace handset
