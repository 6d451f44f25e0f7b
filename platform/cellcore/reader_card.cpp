#include "cellcore/reader_card.h"

#include "base/debug_output.h"
#include "cellcore/link_change_feed.h"
#include "cellcore/pcsc_transport.h"

#include <tapi.h>

namespace handset {

ReaderCard::ReaderCard(std::unique_ptr<ApduTransport> transport)
    : m_session(std::make_shared<ReaderSession>(std::move(transport))) {}

HRESULT ReaderCard::lock_state(DWORD& state) {
    return m_session->lock_state(state);
}

HRESULT ReaderCard::locking_status(DWORD facility, bool& enabled) {
    return m_session->locking_status(facility, enabled);
}

HRESULT ReaderCard::capabilities(CardProfile& profile) {
    return m_session->capabilities(profile);
}

HRESULT ReaderCard::phonebook_status(DWORD& used, DWORD& total) {
    return m_session->phonebook_status(used, total);
}

HRESULT ReaderCard::read_entry(DWORD index, PhonebookEntry& entry) {
    return m_session->read_entry(index, entry);
}

HRESULT ReaderCard::write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) {
    return m_session->write_entry(index, entry, fields);
}

HRESULT ReaderCard::delete_entry(DWORD index) {
    return m_session->delete_entry(index);
}

LONG ReaderCard::place_call(std::u16string_view, std::u16string_view) {
    debug_line("reader: no call placed: a card reader has no radio");
    return TAPIERR_REQUESTFAILED;
}

std::unique_ptr<ChangeFeed> ReaderCard::open_change_feed() {
    return std::make_unique<LinkChangeFeed>(m_session);
}

HRESULT ReaderCard::verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) {
    return m_session->verify_pin(pin, attempt, tries_left);
}

std::unique_ptr<CardBackend> open_reader_card(const std::string& reader) {
    std::unique_ptr<ApduTransport> transport = PcscTransport::open(reader);
    if (!transport) {
        return nullptr;
    }
    return std::make_unique<ReaderCard>(std::move(transport));
}

} // namespace handset
