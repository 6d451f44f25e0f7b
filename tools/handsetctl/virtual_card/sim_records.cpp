#include "sim_records.h"

#include "cellcore/adn_record.h"
#include "cellcore/alpha_identifier.h"

namespace handsetctl {

namespace {

using handset::Bytes;
using handset::ByteView;

// An ICCID of the test range (89 49 ...), its digits swapped in pairs as the card keeps them.
const Bytes iccid = {0x98, 0x94, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF1};
constexpr uint8_t application_template = 0x61;
constexpr uint8_t identifier_tag = 0x4F;
constexpr uint8_t label_tag = 0x50;
constexpr std::string_view usim_label = "USIM";
// Where the number block lies in an EF_ANR record, after its alpha string's record identifier.
constexpr size_t anr_block_offset = 1;

Bytes dir_record(int length) {
    Bytes inner{identifier_tag, static_cast<uint8_t>(SimFileTree::usim_aid.size())};
    inner += SimFileTree::usim_aid;
    inner += {label_tag, static_cast<uint8_t>(usim_label.size())};
    inner.append(usim_label.begin(), usim_label.end());
    Bytes record{application_template, static_cast<uint8_t>(inner.size())};
    record += inner;
    record.resize(static_cast<size_t>(length), 0xFF);
    return record;
}

} // namespace

SimRecords::SimRecords(handset::CardFile& card) : m_card(card) {}

bool SimRecords::refresh() {
    if (m_layout && m_card.data_version() == m_version) {
        return false;
    }
    const bool first = !m_layout;
    const handset::CardProfile before = m_profile;
    reload();
    return first || before != m_profile;
}

// The version is taken first, so that a change made while the card is read is seen next time.
void SimRecords::reload() {
    const bool first = !m_layout;
    const handset::CardProfile before = m_profile;
    m_version = m_card.data_version();
    std::tie(m_profile, m_state) = m_card.snapshot();
    m_stored = m_card.stored_records();
    if (first || before != m_profile) {
        m_layout.emplace(m_profile);
        m_links.reset();
        if (m_layout->has_email()) {
            m_links.emplace(*m_layout);
        }
    }
    if (m_links) {
        m_links->follow(m_stored);
    }
}

std::optional<handset::EncodedEntry> SimRecords::stored(int slot) const {
    const auto found = m_stored.find(slot);
    if (found == m_stored.end()) {
        return std::nullopt;
    }
    return found->second;
}

Bytes SimRecords::blank(int length) const {
    return Bytes(static_cast<size_t>(length), 0xFF);
}

handset::EncodedEntry SimRecords::entry_or_blank(int slot) const {
    std::optional<handset::EncodedEntry> entry = stored(slot);
    return entry ? *entry : handset::EncodedEntry{blank(m_layout->adn_record_length()), {}, {}};
}

Bytes SimRecords::read_anr(int slot) const {
    Bytes record = blank(PhonebookLayout::anr_record_length);
    std::optional<handset::EncodedEntry> entry = stored(slot);
    if (entry && entry->additional_number) {
        record.replace(anr_block_offset, entry->additional_number->size(),
                       *entry->additional_number);
    }
    return record;
}

Bytes SimRecords::read(const SimFile& file, int record) const {
    const int slot = m_layout->first_slot(file.set) + record - 1;
    switch (file.content) {
    case FileContent::iccid:
        return iccid;
    case FileContent::dir:
        return dir_record(file.record_length);
    case FileContent::pbr:
        return m_layout->pbr_record(record - 1);
    case FileContent::adn:
        return entry_or_blank(slot).record;
    case FileContent::iap:
        return Bytes{m_links->iap(slot)};
    case FileContent::anr:
        return read_anr(slot);
    case FileContent::email:
        return m_links->email_record(file.set, record);
    case FileContent::none:
        break;
    }
    return blank(file.record_length);
}

bool SimRecords::write(const SimFile& file, int record, ByteView bytes) {
    const int slot = m_layout->first_slot(file.set) + record - 1;
    switch (file.content) {
    case FileContent::adn:
        return write_adn(slot, bytes);
    case FileContent::anr:
        return write_anr(slot, bytes);
    case FileContent::iap:
        return write_iap(slot, bytes);
    case FileContent::email:
        return write_email(file.set, record, bytes);
    case FileContent::iccid:
    case FileContent::dir:
    case FileContent::pbr:
    case FileContent::none:
        break;
    }
    return false;
}

// An entry with nothing left in it frees its slot, as the SIM library's deletion does.
bool SimRecords::put(int slot, const handset::EncodedEntry& entry) {
    std::optional<handset::AdnRecord> record = handset::decode_adn(entry.record);
    try {
        if (record && record->empty() && !entry.additional_number && !entry.email) {
            m_card.erase(slot);
        } else {
            m_card.store_record(slot, entry);
        }
    } catch (const handset::CardError&) {
        reload();
        return false;
    }
    reload();
    return true;
}

// Emptying the EF_ADN record deletes the whole entry: a reader removes an entry by its ADN
// record first, and its links follow when the rest of the entry goes with it.
bool SimRecords::write_adn(int slot, ByteView bytes) {
    std::optional<handset::AdnRecord> record = handset::decode_adn(bytes);
    if (!record) {
        return false;
    }
    if (record->empty()) {
        return put(slot, {Bytes(bytes), {}, {}});
    }
    handset::EncodedEntry entry = entry_or_blank(slot);
    entry.record = Bytes(bytes);
    return put(slot, entry);
}

bool SimRecords::write_anr(int slot, ByteView bytes) {
    const ByteView block = bytes.substr(anr_block_offset, handset::DiallingNumber::block_size);
    std::optional<handset::DiallingNumber> number = handset::DiallingNumber::decode(block);
    if (!number) {
        return false;
    }
    handset::EncodedEntry entry = entry_or_blank(slot);
    entry.additional_number = number->empty() ? std::nullopt : std::optional<Bytes>(Bytes(block));
    return put(slot, entry);
}

bool SimRecords::write_iap(int slot, ByteView bytes) {
    const uint8_t link = bytes[0];
    if (link != EmailLinks::no_link &&
        (link < 1 || link > m_layout->records(m_layout->set_of(slot)))) {
        return false;
    }
    m_links->set_iap(slot, link);
    return follow_links(slot);
}

bool SimRecords::write_email(int set, int record, ByteView bytes) {
    const ByteView field = bytes.substr(0, static_cast<size_t>(m_layout->email_field_length()));
    if (!handset::decode_alpha(field)) {
        return false;
    }
    m_links->set_email_record(set, record, Bytes(bytes));
    for (int slot : m_links->slots_linked_to(set, record)) {
        if (!follow_links(slot)) {
            return false;
        }
    }
    return true;
}

// Stores what the slot's links now lead to, when that is not what the card keeps.
bool SimRecords::follow_links(int slot) {
    const std::optional<Bytes> email = m_links->linked_email(slot);
    handset::EncodedEntry entry = entry_or_blank(slot);
    if (email == entry.email) {
        return true;
    }
    entry.email = email;
    return put(slot, entry);
}

void SimRecords::set_lock(handset::PinLock lock) {
    m_card.update_state([&](handset::CardState& state) { state.lock = lock; });
    reload();
}

} // namespace handsetctl
