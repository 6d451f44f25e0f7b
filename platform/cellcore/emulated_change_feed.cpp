#include "cellcore/emulated_change_feed.h"

#include "base/debug_output.h"

namespace handset {

EmulatedChangeFeed::EmulatedChangeFeed(std::filesystem::path file) : m_file(std::move(file)) {
    connect();
}

bool EmulatedChangeFeed::connect() {
    try {
        CardFile card = CardFile::open(m_file);
        // In this order: a change committed between the two reads is skipped as too old, never
        // reported twice.
        m_data_version = card.data_version();
        m_last_sequence = card.latest_change();
        m_card.emplace(std::move(card));
        m_complaint.clear();
        return true;
    } catch (const CardError& error) {
        complain(error);
        return false;
    }
}

std::vector<CardChange> EmulatedChangeFeed::poll() {
    if (!m_card && !connect()) {
        return {};
    }
    try {
        const int64_t version = m_card->data_version();
        if (version == m_data_version) {
            return {};
        }
        m_data_version = version;
        std::vector<CardChange> changes = m_card->changes_since(m_last_sequence);
        if (!changes.empty()) {
            m_last_sequence = changes.back().sequence;
        }
        return changes;
    } catch (const CardError& error) {
        complain(error);
        m_card.reset();
        return {};
    }
}

void EmulatedChangeFeed::complain(const CardError& error) {
    const std::string complaint = std::string("cellcore: no SIM notifications: ") + error.what();
    if (complaint != m_complaint) {
        debug_line(complaint);
        m_complaint = complaint;
    }
}

} // namespace handset
