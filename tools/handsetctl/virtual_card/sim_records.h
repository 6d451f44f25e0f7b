// The records of the virtual card's files, read from and written to the emulated card. Each
// UPDATE RECORD on a phonebook file is one change of sim.db, made through CardFile, so that the
// rest of the handset hears of it as of any other change. The card is read again only when another
// connection changed it (SQLite's data version), so that a reader's run of READ RECORDs costs no
// more than one query.
#pragma once

#include "email_links.h"
#include "sim_file_tree.h"

#include "cellcore/card_file.h"

#include <map>
#include <optional>

namespace handsetctl {

class SimRecords {
  public:
    explicit SimRecords(handset::CardFile& card);

    // Reads the card again if it changed; true when its profile changed (and on the first call),
    // so that the caller lays its files out anew.
    bool refresh();

    const handset::CardProfile& profile() const { return m_profile; }
    const handset::CardState& state() const { return m_state; }
    const PhonebookLayout& layout() const { return *m_layout; }

    // A record of a record file, or the contents of a transparent one.
    handset::Bytes read(const SimFile& file, int record) const;
    // Stores the bytes of a record of the right length; false when the card cannot keep them
    // (bytes that do not decode, or an entry the profile does not hold).
    bool write(const SimFile& file, int record, handset::ByteView bytes);
    void set_lock(handset::PinLock lock);

  private:
    void reload();
    std::optional<handset::EncodedEntry> stored(int slot) const;
    handset::EncodedEntry entry_or_blank(int slot) const;
    bool put(int slot, const handset::EncodedEntry& entry);
    bool write_adn(int slot, handset::ByteView bytes);
    bool write_anr(int slot, handset::ByteView bytes);
    bool write_iap(int slot, handset::ByteView bytes);
    bool write_email(int set, int record, handset::ByteView bytes);
    bool follow_links(int slot);
    handset::Bytes read_anr(int slot) const;
    handset::Bytes blank(int length) const;

    handset::CardFile& m_card;
    int64_t m_version = -1;
    handset::CardProfile m_profile;
    handset::CardState m_state;
    std::optional<PhonebookLayout> m_layout;
    std::optional<EmailLinks> m_links;
    std::map<int, handset::EncodedEntry> m_stored;
};

} // namespace handsetctl
