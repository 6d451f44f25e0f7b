// The phonebook of a SIM in a reader, in the files 3GPP lays down:
//   a 2G SIM:  MF 3F00 / DF_TELECOM 7F10 / EF_ADN 6F3A, with EF_EXT1 6F4A for numbers over 20
//              digits;
//   a USIM:    DF_PHONEBOOK 5F3A, the local one under ADF_USIM (selected by the AID in EF_DIR)
//              when it has one, else the global one under DF_TELECOM. Each record of its EF_PBR
//              describes a set of up to 254 entries (EF_ADN, and EF_ANR, EF_EMAIL, EF_IAP,
//              EF_EXT1 linked to it); the sets follow one another in the slot numbers.
// Names and numbers go through the ADN codec; an entry's additional number is its EF_ANR record
// and its e-mail its EF_EMAIL record, each found by record number (type 1) or through the entry's
// EF_IAP record (type 2), where a free record (all 0xFF) is taken for a new field and given back
// when the field goes.
#pragma once

#include "cellcore/card_types.h"
#include "cellcore/entry_codec.h"
#include "cellcore/phonebook_reference.h"
#include "cellcore/sim_channel.h"

#include <optional>
#include <vector>

namespace handset {

class CardPhonebook {
  public:
    // Reads the card's layout; fails with the card's refusal (SIM_E_SIMPINREQUIRED, ...).
    static HRESULT open(SimChannel& channel, std::optional<CardPhonebook>& phonebook);

    const CardProfile& profile() const { return m_profile; }
    // The directory whose PIN status tells the card's lock state.
    const FilePath& directory() const { return m_directory; }

    // SIM_E_NOTFOUND for an empty slot.
    HRESULT read(SimChannel& channel, int slot, PhonebookEntry& entry);
    // Whether the slot holds an entry, from its EF_ADN record alone: one command, where a read
    // of an extended entry takes several.
    HRESULT holds_entry(SimChannel& channel, int slot, bool& held);
    HRESULT write(SimChannel& channel, int slot, const PhonebookEntry& entry, EntryFields fields);
    HRESULT erase(SimChannel& channel, int slot);

  private:
    struct LinkedFile {
        uint16_t id = 0;
        int record_length = 0;
        int record_count = 0;
    };
    // A file that holds one field of an entry: its record is the ADN's (type 1), or the one that
    // byte iap_position of the ADN's EF_IAP record points to (type 2).
    struct LinkedField {
        LinkedFile file;
        PhonebookLink link = PhonebookLink::type1;
        size_t iap_position = 0;
        // A type 2 record ends with the ADN's short file id and record number.
        int link_bytes() const { return link == PhonebookLink::type2 ? 2 : 0; }
    };
    struct Set {
        int first_slot = 1;
        uint8_t adn_short_id = 0xFF;
        LinkedFile adn;
        std::optional<LinkedFile> ext1;
        std::optional<LinkedFile> iap;
        std::optional<LinkedField> anr;
        std::optional<LinkedField> email;
    };

    static HRESULT open_gsm(SimChannel& channel, std::optional<CardPhonebook>& phonebook);
    static HRESULT open_usim(SimChannel& channel, std::optional<CardPhonebook>& phonebook);
    HRESULT read_sets(SimChannel& channel, const FileInfo& reference);
    HRESULT add_set(SimChannel& channel, const PhonebookReference& reference);
    HRESULT describe(SimChannel& channel, uint16_t id, std::optional<LinkedFile>& file);
    void derive_profile();

    // The set and record of a slot; nothing outside the phonebook.
    std::optional<std::pair<Set*, int>> locate(int slot);
    HRESULT read_record(SimChannel& channel, const LinkedFile& file, int record, Bytes& data);
    // The slot's EF_ADN record, with its set and record number; SIM_E_NOTFOUND when unused.
    HRESULT read_adn(SimChannel& channel, int slot, Set*& set, int& record, Bytes& adn);
    HRESULT update_record(SimChannel& channel, const LinkedFile& file, int record, ByteView data);
    HRESULT read_extension(SimChannel& channel, const Set& set, ByteView adn,
                           DiallingNumber& number);
    std::optional<LinkedField> linked_field(SimChannel& channel,
                                            const PhonebookReference& reference, uint8_t tag,
                                            const std::optional<LinkedFile>& iap);
    // The record of field that belongs to the ADN record; nothing when a type 2 field has none.
    HRESULT linked_record(SimChannel& channel, const Set& set, const LinkedField& field, int record,
                          std::optional<int>& found);
    // The field's record of the ADN record, empty when it has none.
    HRESULT read_linked(SimChannel& channel, const Set& set, const LinkedField& field, int record,
                        Bytes& data);
    // Writes content (without the link bytes) as the ADN record's field, or clears it when there
    // is none; a type 2 field takes a free record for new content and gives it back when cleared.
    HRESULT write_linked(SimChannel& channel, const Set& set, const LinkedField& field, int record,
                         const std::optional<Bytes>& content);
    HRESULT free_record(SimChannel& channel, const LinkedField& field, int& found);
    HRESULT set_iap(SimChannel& channel, const Set& set, const LinkedField& field, int record,
                    uint8_t pointer);
    HRESULT write_extras(SimChannel& channel, const Set& set, int record,
                         const EncodedEntry& encoded);

    FilePath m_directory;
    std::vector<Set> m_sets;
    CardProfile m_profile;
};

} // namespace handset
