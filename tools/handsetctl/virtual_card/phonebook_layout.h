// How the virtual card lays the emulated card's slots out in files. A 2G SIM has one EF_ADN in
// DF_TELECOM. A USIM's global phonebook splits the slots into sets of up to 254 records (a record
// number is one byte, and 255 is not a record), each with its own EF_ADN and, when the profile
// keeps them, its EF_ANR (one record per ADN record), EF_EMAIL (reached through EF_IAP) and
// EF_IAP; EF_PBR has one record per set that names the set's files.
#pragma once

#include "cellcore/card_types.h"

#include <cstdint>

namespace handsetctl {

class PhonebookLayout {
  public:
    static constexpr int records_per_set = 254;
    static constexpr int anr_record_length = 15;
    static constexpr int iap_record_length = 1; // EF_EMAIL is the one file reached through it
    // Where a set's files begin; set s uses the identifier plus s.
    static constexpr uint16_t first_adn = 0x4F3A;
    static constexpr uint16_t first_iap = 0x4F25;
    static constexpr uint16_t first_anr = 0x4F11;
    static constexpr uint16_t first_email = 0x4F50;

    explicit PhonebookLayout(const handset::CardProfile& profile);

    // Whether the card is a UICC with a USIM rather than a 2G SIM.
    bool extended() const { return m_anr || m_email; }
    bool has_anr() const { return m_anr; }
    bool has_email() const { return m_email; }

    int sets() const;
    // The slot that record 1 of a set holds, and how many records the set has.
    int first_slot(int set) const { return set * records_per_set + 1; }
    int records(int set) const;
    // The set and record that hold a slot.
    int set_of(int slot) const { return (slot - 1) / records_per_set; }
    int record_of(int slot) const { return (slot - 1) % records_per_set + 1; }

    int adn_record_length() const { return m_adn_length; }
    int email_field_length() const { return m_email_length; }
    // The e-mail field, then the short file identifier and record of the ADN that owns it.
    int email_record_length() const { return m_email_length + 2; }
    // The short identifier of a set's EF_ADN, by which EF_EMAIL records name their owner.
    uint8_t adn_sfi(int set) const { return static_cast<uint8_t>(1 + set); }

    // The set's EF_PBR record, padded to pbr_record_length().
    handset::Bytes pbr_record(int set) const;
    int pbr_record_length() const;

  private:
    handset::Bytes pbr_content(int set) const;

    int m_slots;
    int m_adn_length;
    int m_email_length;
    bool m_anr;
    bool m_email;
};

} // namespace handsetctl
