#include "email_links.h"

#include <algorithm>

namespace handsetctl {

namespace {

bool unused(handset::ByteView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t byte) { return byte == 0xFF; });
}

} // namespace

EmailLinks::EmailLinks(const PhonebookLayout& layout)
    : m_layout(layout), m_iap(static_cast<size_t>(layout.first_slot(layout.sets())), no_link) {
    for (int set = 0; set < layout.sets(); ++set) {
        m_records.emplace_back(
            static_cast<size_t>(layout.records(set)),
            handset::Bytes(static_cast<size_t>(layout.email_record_length()), 0xFF));
    }
}

const handset::Bytes& EmailLinks::email_record(int set, int record) const {
    return m_records[static_cast<size_t>(set)][static_cast<size_t>(record - 1)];
}

handset::Bytes& EmailLinks::record_at(int set, int record) {
    return m_records[static_cast<size_t>(set)][static_cast<size_t>(record - 1)];
}

void EmailLinks::set_email_record(int set, int record, handset::Bytes bytes) {
    record_at(set, record) = std::move(bytes);
}

std::vector<int> EmailLinks::slots_linked_to(int set, int record) const {
    std::vector<int> slots;
    for (int at = 1; at <= m_layout.records(set); ++at) {
        const int slot = m_layout.first_slot(set) + at - 1;
        if (iap(slot) == record) {
            slots.push_back(slot);
        }
    }
    return slots;
}

std::optional<handset::Bytes> EmailLinks::linked_email(int slot) const {
    const int set = m_layout.set_of(slot);
    const int record = iap(slot);
    if (record < 1 || record > m_layout.records(set)) {
        return std::nullopt;
    }
    const handset::ByteView field =
        handset::ByteView(email_record(set, record))
            .substr(0, static_cast<size_t>(m_layout.email_field_length()));
    if (unused(field)) {
        return std::nullopt;
    }
    return handset::Bytes(field);
}

bool EmailLinks::linked(int set, int record, int except_slot) const {
    const std::vector<int> slots = slots_linked_to(set, record);
    return std::any_of(slots.begin(), slots.end(), [&](int slot) { return slot != except_slot; });
}

bool EmailLinks::record_free(int set, int record) const {
    return unused(email_record(set, record)) && !linked(set, record, 0);
}

std::optional<int> EmailLinks::free_record(int set, int preferred) const {
    if (record_free(set, preferred)) {
        return preferred;
    }
    for (int record = 1; record <= m_layout.records(set); ++record) {
        if (record_free(set, record)) {
            return record;
        }
    }
    return std::nullopt;
}

void EmailLinks::follow_slot(int slot, const std::optional<handset::Bytes>& email) {
    const int set = m_layout.set_of(slot);
    const int own = m_layout.record_of(slot);
    const int current = iap(slot);
    const bool link_valid = current >= 1 && current <= m_layout.records(set);
    if (!email) {
        if (link_valid) {
            record_at(set, current).assign(record_at(set, current).size(), 0xFF);
        }
        set_iap(slot, no_link);
        return;
    }
    std::optional<int> record = link_valid && !linked(set, current, slot)
                                    ? std::optional<int>(current)
                                    : free_record(set, own);
    if (!record) {
        return;
    }
    handset::Bytes bytes = *email;
    bytes += {m_layout.adn_sfi(set), static_cast<uint8_t>(own)};
    record_at(set, *record) = std::move(bytes);
    set_iap(slot, static_cast<uint8_t>(*record));
}

void EmailLinks::follow(const std::map<int, handset::EncodedEntry>& stored) {
    for (int set = 0; set < m_layout.sets(); ++set) {
        for (int record = 1; record <= m_layout.records(set); ++record) {
            const int slot = m_layout.first_slot(set) + record - 1;
            const auto found = stored.find(slot);
            const std::optional<handset::Bytes> email =
                found == stored.end() ? std::nullopt : found->second.email;
            if (email != linked_email(slot)) {
                follow_slot(slot, email);
            }
        }
    }
}

} // namespace handsetctl
