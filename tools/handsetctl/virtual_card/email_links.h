// The type-2 links of the USIM phonebook: each ADN record's EF_IAP byte names the EF_EMAIL record
// of its set that holds the entry's e-mail, and that record ends with the ADN record it belongs
// to. The emulated card keeps an e-mail with its entry, so where it sits in EF_EMAIL is the
// virtual card's choice: a record the reader wrote stays where the reader put it, and an e-mail
// that appears on the card otherwise takes the record of its ADN record's number when that is
// free, else the first free one. Records a reader wrote but has not linked yet are kept as
// written, as a card would, until it links them.
#pragma once

#include "phonebook_layout.h"

#include "cellcore/entry_codec.h"

#include <map>
#include <optional>
#include <vector>

namespace handsetctl {

class EmailLinks {
  public:
    static constexpr uint8_t no_link = 0xFF;

    explicit EmailLinks(const PhonebookLayout& layout);

    uint8_t iap(int slot) const { return m_iap[static_cast<size_t>(slot)]; }
    const handset::Bytes& email_record(int set, int record) const;
    void set_iap(int slot, uint8_t link) { m_iap[static_cast<size_t>(slot)] = link; }
    void set_email_record(int set, int record, handset::Bytes bytes);
    // The slots whose links lead to an EMAIL record.
    std::vector<int> slots_linked_to(int set, int record) const;

    // The e-mail field a slot's links lead to; nothing when they lead to no address.
    std::optional<handset::Bytes> linked_email(int slot) const;
    // Makes the links give every slot the e-mail that the card keeps for it.
    void follow(const std::map<int, handset::EncodedEntry>& stored);

  private:
    bool linked(int set, int record, int except_slot) const;
    bool record_free(int set, int record) const;
    std::optional<int> free_record(int set, int preferred) const;
    void follow_slot(int slot, const std::optional<handset::Bytes>& email);
    handset::Bytes& record_at(int set, int record);

    PhonebookLayout m_layout;
    std::vector<uint8_t> m_iap;                         // by slot
    std::vector<std::vector<handset::Bytes>> m_records; // by set, then record - 1
};

} // namespace handsetctl
