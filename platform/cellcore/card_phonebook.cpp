#include "cellcore/card_phonebook.h"

#include "base/debug_output.h"
#include "cellcore/adn_record.h"
#include "cellcore/alpha_identifier.h"
#include "cellcore/ber_tlv.h"
#include "cellcore/card_error.h"

#include <simmgr.h>

#include <algorithm>
#include <tuple>

namespace handset {

namespace {

constexpr uint8_t unused = 0xFF;
constexpr uint16_t df_telecom = 0x7F10;
constexpr uint16_t df_phonebook = 0x5F3A;
constexpr uint16_t current_application = 0x7FFF;
constexpr uint16_t ef_dir = 0x2F00;
constexpr uint16_t ef_pbr = 0x4F30;
constexpr uint16_t gsm_adn = 0x6F3A;
constexpr uint16_t gsm_ext1 = 0x6F4A;
constexpr int records_per_set = 254;
// An EF_ANR record: the alpha tag's record, the number block, the capability and extension
// records.
constexpr int anr_record_length = DiallingNumber::block_size + 3;
constexpr uint8_t usim_aid_prefix[] = {0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02};

bool unused_record(ByteView record) {
    return std::all_of(record.begin(), record.end(), [](uint8_t byte) { return byte == unused; });
}

// The USIM's AID among EF_DIR's application templates (61 { 4F aid, 50 label }).
std::optional<Bytes> usim_aid(ByteView record) {
    const std::optional<std::vector<Tlv>> templates = parse_tlvs(record);
    const std::optional<ByteView> application =
        templates ? find_tlv(*templates, 0x61) : std::nullopt;
    const std::optional<std::vector<Tlv>> objects =
        application ? parse_tlvs(*application) : std::nullopt;
    const std::optional<ByteView> aid = objects ? find_tlv(*objects, 0x4F) : std::nullopt;
    if (!aid || !aid->starts_with(ByteView(usim_aid_prefix, sizeof usim_aid_prefix))) {
        return std::nullopt;
    }
    return Bytes(*aid);
}

FilePath with(FilePath path, uint16_t id) {
    path.push_back(id);
    return path;
}

} // namespace

HRESULT CardPhonebook::open(SimChannel& channel, std::optional<CardPhonebook>& phonebook) {
    return channel.card_class() == CardClass::gsm ? open_gsm(channel, phonebook)
                                                  : open_usim(channel, phonebook);
}

HRESULT CardPhonebook::open_gsm(SimChannel& channel, std::optional<CardPhonebook>& phonebook) {
    CardPhonebook opened;
    opened.m_directory = {df_telecom};
    Set set;
    std::optional<LinkedFile> adn;
    if (const HRESULT result = opened.describe(channel, gsm_adn, adn); result != S_OK) {
        return result;
    }
    set.adn = *adn;
    set.adn.record_count = std::min(set.adn.record_count, records_per_set);
    if (opened.describe(channel, gsm_ext1, set.ext1) != S_OK) {
        set.ext1.reset();
    }
    opened.m_sets.push_back(set);
    opened.derive_profile();
    phonebook = std::move(opened);
    return S_OK;
}

// The local phonebook under the USIM application first, the global one under DF_TELECOM else.
HRESULT CardPhonebook::open_usim(SimChannel& channel, std::optional<CardPhonebook>& phonebook) {
    FileInfo info;
    std::optional<Bytes> aid;
    if (channel.select({ef_dir}, info) == S_OK) {
        for (int record = 1; record <= info.record_count && !aid; ++record) {
            Bytes data;
            if (channel.read_record(record, info.record_length, data) == S_OK) {
                aid = usim_aid(data);
            }
        }
    }
    std::vector<FilePath> directories;
    if (aid && channel.select_application(*aid, info) == S_OK) {
        directories.push_back({current_application, df_phonebook});
    }
    directories.push_back({df_telecom, df_phonebook});
    HRESULT result = SIM_E_NOTFOUND;
    for (const FilePath& directory : directories) {
        result = channel.select(with(directory, ef_pbr), info);
        if (result == S_OK) {
            CardPhonebook opened;
            opened.m_directory = directory;
            if (result = opened.read_sets(channel, info); result == S_OK) {
                phonebook = std::move(opened);
                return S_OK;
            }
        }
        if (result == SIM_E_SIMNOTINSERTED) {
            return result;
        }
    }
    return result;
}

HRESULT CardPhonebook::read_sets(SimChannel& channel, const FileInfo& reference) {
    std::vector<PhonebookReference> references;
    for (int record = 1; record <= reference.record_count; ++record) {
        Bytes data;
        const HRESULT result = channel.read_record(record, reference.record_length, data);
        if (result != S_OK) {
            return result;
        }
        std::optional<PhonebookReference> parsed = parse_phonebook_reference(data);
        if (!parsed) {
            debug_printf("reader: EF_PBR record %d cannot be read\n", record);
            return SIM_E_MEMORYFAILURE;
        }
        references.push_back(std::move(*parsed));
    }
    for (const PhonebookReference& parsed : references) {
        if (parsed.find(pbr_tag::adn, PhonebookLink::type1)) {
            if (const HRESULT result = add_set(channel, parsed); result != S_OK) {
                return result;
            }
        }
    }
    if (m_sets.empty()) {
        return SIM_E_NOTFOUND;
    }
    derive_profile();
    return S_OK;
}

HRESULT CardPhonebook::add_set(SimChannel& channel, const PhonebookReference& reference) {
    Set set;
    const PhonebookFile adn = *reference.find(pbr_tag::adn, PhonebookLink::type1);
    set.adn_short_id = adn.short_id.value_or(unused);
    std::optional<LinkedFile> adn_file;
    if (const HRESULT result = describe(channel, adn.file_id, adn_file); result != S_OK) {
        return result;
    }
    set.adn = *adn_file;
    set.adn.record_count = std::min(set.adn.record_count, records_per_set);
    if (const std::optional<PhonebookFile> iap = reference.find(pbr_tag::iap, PhonebookLink::type1);
        iap && describe(channel, iap->file_id, set.iap) != S_OK) {
        set.iap.reset();
    }
    if (const std::optional<PhonebookFile> ext1 =
            reference.find(pbr_tag::ext1, PhonebookLink::type3);
        ext1 && describe(channel, ext1->file_id, set.ext1) != S_OK) {
        set.ext1.reset();
    }
    set.anr = linked_field(channel, reference, pbr_tag::anr, set.iap);
    set.email = linked_field(channel, reference, pbr_tag::email, set.iap);
    set.first_slot = m_sets.empty() ? 1 : m_sets.back().first_slot + m_sets.back().adn.record_count;
    m_sets.push_back(set);
    return S_OK;
}

// The field's file as the reference lists it, type 1 first; nothing when the card has none, or a
// type 2 file that no byte of an EF_IAP record can point to.
std::optional<CardPhonebook::LinkedField>
CardPhonebook::linked_field(SimChannel& channel, const PhonebookReference& reference, uint8_t tag,
                            const std::optional<LinkedFile>& iap) {
    for (const PhonebookLink link : {PhonebookLink::type1, PhonebookLink::type2}) {
        const std::optional<PhonebookFile> listed = reference.find(tag, link);
        std::optional<LinkedFile> file;
        if (!listed || describe(channel, listed->file_id, file) != S_OK) {
            continue;
        }
        if (link == PhonebookLink::type1) {
            return LinkedField{*file, link, 0};
        }
        const std::optional<size_t> position = reference.iap_position(tag);
        if (iap && position && *position < static_cast<size_t>(iap->record_length)) {
            return LinkedField{*file, link, *position};
        }
    }
    return std::nullopt;
}

HRESULT CardPhonebook::describe(SimChannel& channel, uint16_t id, std::optional<LinkedFile>& file) {
    FileInfo info;
    const HRESULT result = channel.select(with(m_directory, id), info);
    if (result != S_OK) {
        return result;
    }
    file = LinkedFile{id, info.record_length, info.record_count};
    return S_OK;
}

// The sizes come from the first set: every set of one card is made alike.
void CardPhonebook::derive_profile() {
    const Set& first = m_sets.front();
    const Set& last = m_sets.back();
    m_profile.slots = std::min(last.first_slot + last.adn.record_count - 1, CardProfile::max_slots);
    m_profile.name_bytes = std::clamp(first.adn.record_length - static_cast<int>(adn_trailer_size),
                                      0, CardProfile::max_name_bytes);
    m_profile.number_digits = static_cast<int>(DiallingNumber::max_digits);
    m_profile.storages = SIM_PBSTORAGE_SIM;
    m_profile.lock_facilities = SIM_LOCKFACILITY_SIM;
    if (first.anr && first.anr->file.record_length - first.anr->link_bytes() >= anr_record_length) {
        m_profile.extended.additional_number_digits = static_cast<int>(DiallingNumber::max_digits);
        m_profile.extended.additional_number_count = 1;
    }
    if (first.email) {
        m_profile.extended.email_bytes =
            std::clamp(first.email->file.record_length - first.email->link_bytes(), 0,
                       CardProfile::max_email_bytes);
        m_profile.extended.email_count = 1;
    }
}

std::optional<std::pair<CardPhonebook::Set*, int>> CardPhonebook::locate(int slot) {
    if (slot < 1 || slot > m_profile.slots) {
        return std::nullopt;
    }
    for (Set& set : m_sets) {
        if (slot < set.first_slot + set.adn.record_count) {
            return std::pair(&set, slot - set.first_slot + 1);
        }
    }
    return std::nullopt;
}

HRESULT CardPhonebook::read_record(SimChannel& channel, const LinkedFile& file, int record,
                                   Bytes& data) {
    FileInfo info;
    HRESULT result = channel.select(with(m_directory, file.id), info);
    if (result == S_OK) {
        result = channel.read_record(record, file.record_length, data);
    }
    return result;
}

HRESULT CardPhonebook::update_record(SimChannel& channel, const LinkedFile& file, int record,
                                     ByteView data) {
    FileInfo info;
    HRESULT result = channel.select(with(m_directory, file.id), info);
    if (result == S_OK) {
        result = channel.update_record(record, data);
    }
    return result;
}

// EF_EXT1 records: a type byte (2: more digits), their count, ten BCD bytes and the next record.
HRESULT CardPhonebook::read_extension(SimChannel& channel, const Set& set, ByteView adn,
                                      DiallingNumber& number) {
    constexpr uint8_t additional_data = 0x02;
    constexpr size_t bcd_bytes = DiallingNumber::block_size - 2;
    int next = adn.back();
    std::u16string digits = number.digits();
    for (int followed = 0; set.ext1 && next != unused && followed < set.ext1->record_count;
         ++followed) {
        Bytes record;
        if (const HRESULT result = read_record(channel, *set.ext1, next, record); result != S_OK) {
            return result;
        }
        if (record.size() < bcd_bytes + 3 || record[0] != additional_data) {
            break;
        }
        Bytes block{static_cast<uint8_t>(1 + (std::min<size_t>(record[1], bcd_bytes))),
                    DiallingNumber::unknown_type};
        block += record.substr(2, bcd_bytes);
        const std::optional<DiallingNumber> more = DiallingNumber::decode(block);
        if (!more) {
            return SIM_E_MEMORYFAILURE;
        }
        digits += more->digits();
        next = record[bcd_bytes + 2];
    }
    number = DiallingNumber(std::move(digits), number.type());
    return S_OK;
}

HRESULT CardPhonebook::linked_record(SimChannel& channel, const Set& set, const LinkedField& field,
                                     int record, std::optional<int>& found) {
    found.reset();
    if (field.link == PhonebookLink::type1) {
        found = record;
        return S_OK;
    }
    Bytes iap;
    if (const HRESULT result = read_record(channel, *set.iap, record, iap); result != S_OK) {
        return result;
    }
    const uint8_t pointer = field.iap_position < iap.size() ? iap[field.iap_position] : unused;
    if (pointer != unused && pointer != 0 && pointer <= field.file.record_count) {
        found = pointer;
    }
    return S_OK;
}

HRESULT CardPhonebook::read_linked(SimChannel& channel, const Set& set, const LinkedField& field,
                                   int record, Bytes& data) {
    data.clear();
    std::optional<int> found;
    if (const HRESULT result = linked_record(channel, set, field, record, found);
        result != S_OK || !found) {
        return result;
    }
    return read_record(channel, field.file, *found, data);
}

HRESULT CardPhonebook::read_adn(SimChannel& channel, int slot, Set*& set, int& record, Bytes& adn) {
    const auto located = locate(slot);
    if (!located) {
        return SIM_E_INVALIDINDEX;
    }
    std::tie(set, record) = *located;
    if (const HRESULT result = read_record(channel, set->adn, record, adn); result != S_OK) {
        return result;
    }
    return adn.empty() || unused_record(adn) ? SIM_E_NOTFOUND : S_OK;
}

HRESULT CardPhonebook::holds_entry(SimChannel& channel, int slot, bool& held) {
    Set* set = nullptr;
    int record = 0;
    Bytes adn;
    const HRESULT result = read_adn(channel, slot, set, record, adn);
    held = result == S_OK;
    return result == SIM_E_NOTFOUND ? S_OK : result;
}

HRESULT CardPhonebook::read(SimChannel& channel, int slot, PhonebookEntry& entry) {
    Set* set = nullptr;
    int record = 0;
    Bytes adn;
    if (const HRESULT result = read_adn(channel, slot, set, record, adn); result != S_OK) {
        return result;
    }
    Bytes plain = adn;
    plain.back() = unused;
    std::optional<AdnRecord> decoded = decode_adn(plain);
    if (!decoded) {
        return SIM_E_MEMORYFAILURE;
    }
    PhonebookEntry read{std::move(decoded->name), std::move(decoded->number), {}, {}};
    if (adn.back() != unused) {
        if (const HRESULT result = read_extension(channel, *set, adn, read.number);
            result != S_OK) {
            return result;
        }
    }
    if (set->anr) {
        Bytes anr;
        if (const HRESULT result = read_linked(channel, *set, *set->anr, record, anr);
            result != S_OK) {
            return result;
        }
        std::optional<DiallingNumber> number =
            anr.size() >= anr_record_length
                ? DiallingNumber::decode(ByteView(anr).substr(1, DiallingNumber::block_size))
                : std::nullopt;
        if (number && !number->empty()) {
            read.additional_number = std::move(*number);
        }
    }
    if (set->email) {
        Bytes email;
        if (const HRESULT result = read_linked(channel, *set, *set->email, record, email);
            result != S_OK) {
            return result;
        }
        const size_t text_bytes = static_cast<size_t>(m_profile.extended.email_bytes);
        std::optional<std::u16string> text = decode_alpha(ByteView(email).substr(0, text_bytes));
        if (!text) {
            return SIM_E_MEMORYFAILURE;
        }
        if (!text->empty()) {
            read.email = std::move(*text);
        }
    }
    entry = std::move(read);
    return S_OK;
}

HRESULT CardPhonebook::free_record(SimChannel& channel, const LinkedField& field, int& found) {
    for (int candidate = 1; candidate <= field.file.record_count; ++candidate) {
        Bytes data;
        if (const HRESULT result = read_record(channel, field.file, candidate, data);
            result != S_OK) {
            return result;
        }
        if (unused_record(data)) {
            found = candidate;
            return S_OK;
        }
    }
    return SIM_E_MEMORYFULL;
}

HRESULT CardPhonebook::set_iap(SimChannel& channel, const Set& set, const LinkedField& field,
                               int record, uint8_t pointer) {
    Bytes iap;
    if (const HRESULT result = read_record(channel, *set.iap, record, iap); result != S_OK) {
        return result;
    }
    iap.resize(static_cast<size_t>(set.iap->record_length), unused);
    iap[field.iap_position] = pointer;
    return update_record(channel, *set.iap, record, iap);
}

// The content padded to its record; a type 2 record ends with the ADN it belongs to, so that the
// card's own tools can find the owner.
HRESULT CardPhonebook::write_linked(SimChannel& channel, const Set& set, const LinkedField& field,
                                    int record, const std::optional<Bytes>& content) {
    Bytes data(static_cast<size_t>(field.file.record_length), unused);
    if (content) {
        std::copy_n(
            content->begin(),
            std::min(content->size(), data.size() - static_cast<size_t>(field.link_bytes())),
            data.begin());
        if (field.link == PhonebookLink::type2) {
            data[data.size() - 2] = set.adn_short_id;
            data[data.size() - 1] = static_cast<uint8_t>(record);
        }
    }
    std::optional<int> target;
    if (const HRESULT result = linked_record(channel, set, field, record, target); result != S_OK) {
        return result;
    }
    if (!target && !content) {
        return S_OK;
    }
    if (!target) {
        int allocated = 0;
        if (const HRESULT result = free_record(channel, field, allocated); result != S_OK) {
            return result;
        }
        const HRESULT written = update_record(channel, field.file, allocated, data);
        return written == S_OK
                   ? set_iap(channel, set, field, record, static_cast<uint8_t>(allocated))
                   : written;
    }
    const HRESULT written = update_record(channel, field.file, *target, data);
    if (written != S_OK || content || field.link == PhonebookLink::type1) {
        return written;
    }
    return set_iap(channel, set, field, record, unused);
}

HRESULT CardPhonebook::write_extras(SimChannel& channel, const Set& set, int record,
                                    const EncodedEntry& encoded) {
    if (set.anr) {
        std::optional<Bytes> anr;
        if (encoded.additional_number) {
            anr = Bytes{unused} + *encoded.additional_number;
        }
        if (const HRESULT result = write_linked(channel, set, *set.anr, record, anr);
            result != S_OK) {
            return result;
        }
    }
    return set.email ? write_linked(channel, set, *set.email, record, encoded.email) : S_OK;
}

HRESULT CardPhonebook::write(SimChannel& channel, int slot, const PhonebookEntry& entry,
                             EntryFields fields) {
    const auto located = locate(slot);
    if (!located) {
        return SIM_E_INVALIDINDEX;
    }
    PhonebookEntry written = entry;
    if (fields == EntryFields::name_and_number) {
        written.additional_number.reset();
        written.email.reset();
    }
    EncodedEntry encoded;
    try {
        encoded = encode_entry(written, m_profile);
    } catch (const CardError& error) {
        debug_printf("reader: entry refused: %s\n", error.what());
        return SIM_E_BADPARAM;
    }
    const auto [set, record] = *located;
    if (const HRESULT result = update_record(channel, set->adn, record, encoded.record);
        result != S_OK || fields == EntryFields::name_and_number) {
        return result;
    }
    return write_extras(channel, *set, record, encoded);
}

HRESULT CardPhonebook::erase(SimChannel& channel, int slot) {
    const auto located = locate(slot);
    if (!located) {
        return SIM_E_INVALIDINDEX;
    }
    const auto [set, record] = *located;
    const Bytes empty(static_cast<size_t>(set->adn.record_length), unused);
    if (const HRESULT result = update_record(channel, set->adn, record, empty); result != S_OK) {
        return result;
    }
    return write_extras(channel, *set, record, EncodedEntry{});
}

} // namespace handset
