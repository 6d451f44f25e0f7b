// The device's emulated card behind a driver double that fails what a test chooses: a write that
// the card refuses, or capabilities that it reports wrongly or not at all.
#pragma once

#include "cellcore/card_backend.h"
#include "cellcore/card_file.h"
#include "cellcore/emulated_card.h"

#include <functional>
#include <memory>

struct CardFaults {
    // Every phonebook write answers this when it is not S_OK; the card is left as it was.
    HRESULT write_error = S_OK;
    // Deletes after the first deletes_before_failure answer delete_error, when it is not S_OK.
    int deletes_before_failure = 0;
    HRESULT delete_error = S_OK;
    // The capability query answers this when it is not S_OK.
    HRESULT capabilities_error = S_OK;
    // Changes the sizes the card reports, not the ones it keeps.
    std::function<void(handset::CardProfile&)> reported_profile;
    // Reads of this slot answer read_error, when it is not S_OK.
    DWORD failing_read_slot = 0;
    HRESULT read_error = S_OK;
    // Runs before each read reaches the card, on the reading thread.
    std::function<void(DWORD index)> before_read;
    // Changes the used and total slots the card reports.
    std::function<void(DWORD& used, DWORD& total)> reported_status;
};

class FaultyCard final : public handset::CardBackend {
  public:
    explicit FaultyCard(CardFaults faults)
        : m_card(handset::CardFile::default_path()), m_faults(std::move(faults)) {}

    HRESULT lock_state(DWORD& state) override { return m_card.lock_state(state); }
    HRESULT locking_status(DWORD facility, bool& enabled) override {
        return m_card.locking_status(facility, enabled);
    }
    HRESULT capabilities(handset::CardProfile& profile) override {
        if (m_faults.capabilities_error != S_OK) {
            return m_faults.capabilities_error;
        }
        HRESULT result = m_card.capabilities(profile);
        if (result == S_OK && m_faults.reported_profile) {
            m_faults.reported_profile(profile);
        }
        return result;
    }
    HRESULT phonebook_status(DWORD& used, DWORD& total) override {
        HRESULT result = m_card.phonebook_status(used, total);
        if (result == S_OK && m_faults.reported_status) {
            m_faults.reported_status(used, total);
        }
        return result;
    }
    HRESULT read_entry(DWORD index, handset::PhonebookEntry& entry) override {
        if (m_faults.before_read) {
            m_faults.before_read(index);
        }
        if (m_faults.read_error != S_OK && index == m_faults.failing_read_slot) {
            return m_faults.read_error;
        }
        return m_card.read_entry(index, entry);
    }
    HRESULT write_entry(DWORD index, const handset::PhonebookEntry& entry,
                        handset::EntryFields fields) override {
        if (m_faults.write_error != S_OK) {
            return m_faults.write_error;
        }
        return m_card.write_entry(index, entry, fields);
    }
    HRESULT delete_entry(DWORD index) override {
        if (m_faults.delete_error != S_OK && m_deletes++ >= m_faults.deletes_before_failure) {
            return m_faults.delete_error;
        }
        return m_card.delete_entry(index);
    }
    LONG place_call(std::u16string_view number, std::u16string_view name) override {
        return m_card.place_call(number, name);
    }
    std::unique_ptr<handset::ChangeFeed> open_change_feed() override {
        return m_card.open_change_feed();
    }

  private:
    handset::EmulatedCard m_card;
    CardFaults m_faults;
    int m_deletes = 0;
};

// Puts the faulty card behind every SIM handle opened while it lives.
class FaultyCardScope {
  public:
    explicit FaultyCardScope(CardFaults faults) {
        handset::set_card_backend_factory(
            [faults] { return std::make_unique<FaultyCard>(faults); });
    }
    ~FaultyCardScope() { handset::set_card_backend_factory({}); }
    FaultyCardScope(const FaultyCardScope&) = delete;
    FaultyCardScope& operator=(const FaultyCardScope&) = delete;
};
