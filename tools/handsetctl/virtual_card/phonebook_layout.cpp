#include "phonebook_layout.h"

#include "cellcore/adn_record.h"

#include <algorithm>

namespace handsetctl {

namespace {

// The tags of EF_PBR: the constructed ones for files of type 1 (one record per ADN record) and
// type 2 (reached through EF_IAP), and the primitive ones naming each file.
constexpr uint8_t type1_files = 0xA8;
constexpr uint8_t type2_files = 0xA9;
constexpr uint8_t adn_tag = 0xC0;
constexpr uint8_t iap_tag = 0xC1;
constexpr uint8_t anr_tag = 0xC4;
constexpr uint8_t email_tag = 0xCA;

void append_file(handset::Bytes& to, uint8_t tag, uint16_t id) {
    to += {tag, 2, static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id & 0xFF)};
}

void append_constructed(handset::Bytes& to, uint8_t tag, const handset::Bytes& content) {
    if (content.empty()) {
        return;
    }
    to += {tag, static_cast<uint8_t>(content.size())};
    to += content;
}

} // namespace

PhonebookLayout::PhonebookLayout(const handset::CardProfile& profile)
    : m_slots(profile.slots),
      m_adn_length(profile.name_bytes + static_cast<int>(handset::adn_trailer_size)),
      m_email_length(profile.extended.email_bytes),
      m_anr(profile.extended.holds_additional_number()), m_email(profile.extended.holds_email()) {}

int PhonebookLayout::sets() const {
    return extended() ? (m_slots + records_per_set - 1) / records_per_set : 1;
}

int PhonebookLayout::records(int set) const {
    return std::clamp(m_slots - set * records_per_set, 0, records_per_set);
}

handset::Bytes PhonebookLayout::pbr_content(int set) const {
    const auto offset = static_cast<uint16_t>(set);
    handset::Bytes type1{adn_tag, 3, static_cast<uint8_t>((first_adn + offset) >> 8),
                         static_cast<uint8_t>((first_adn + offset) & 0xFF), adn_sfi(set)};
    handset::Bytes type2;
    if (m_email) {
        append_file(type1, iap_tag, first_iap + offset);
        append_file(type2, email_tag, first_email + offset);
    }
    if (m_anr) {
        append_file(type1, anr_tag, first_anr + offset);
    }
    handset::Bytes content;
    append_constructed(content, type1_files, type1);
    append_constructed(content, type2_files, type2);
    return content;
}

int PhonebookLayout::pbr_record_length() const {
    return static_cast<int>(pbr_content(0).size());
}

handset::Bytes PhonebookLayout::pbr_record(int set) const {
    handset::Bytes record = pbr_content(set);
    record.resize(static_cast<size_t>(pbr_record_length()), 0xFF);
    return record;
}

} // namespace handsetctl
