// Feeds arbitrary bytes to the AT front, as a client on the line could send them, over a card of
// ten slots kept in memory that takes any entry, so that names and e-mails of every length and
// character come back through each character set. Whatever arrives, the front must neither
// crash nor read or write out of bounds.
#include "at_front.h"

#include <simmgr.h>
#include <tapi.h>

#include <map>

namespace {

class MemoryCard final : public handset::CardBackend {
  public:
    static constexpr DWORD slots = 10;

    HRESULT lock_state(DWORD& state) override {
        state = SIM_LOCKEDSTATE_READY;
        return S_OK;
    }
    HRESULT locking_status(DWORD, bool& enabled) override {
        enabled = false;
        return S_OK;
    }
    HRESULT capabilities(handset::CardProfile& profile) override {
        profile.slots = slots;
        profile.extended = {20, 40, 1, 1};
        return S_OK;
    }
    HRESULT phonebook_status(DWORD& used, DWORD& total) override {
        used = static_cast<DWORD>(m_entries.size());
        total = slots;
        return S_OK;
    }
    HRESULT read_entry(DWORD index, handset::PhonebookEntry& entry) override {
        if (index < 1 || index > slots) {
            return SIM_E_INVALIDINDEX;
        }
        const auto found = m_entries.find(index);
        if (found == m_entries.end()) {
            return SIM_E_NOTFOUND;
        }
        entry = found->second;
        return S_OK;
    }
    HRESULT write_entry(DWORD index, const handset::PhonebookEntry& entry,
                        handset::EntryFields) override {
        if (index == SIM_PBINDEX_FIRSTAVAILABLE) {
            index = 1;
            while (index <= slots && m_entries.count(index) != 0) {
                ++index;
            }
        }
        if (index < 1 || index > slots) {
            return index == slots + 1 ? SIM_E_MEMORYFULL : SIM_E_INVALIDINDEX;
        }
        m_entries[index] = entry;
        return S_OK;
    }
    HRESULT delete_entry(DWORD index) override {
        m_entries.erase(index);
        return index < 1 || index > slots ? SIM_E_INVALIDINDEX : S_OK;
    }
    LONG place_call(std::u16string_view, std::u16string_view) override { return TAPIERR_CONNECTED; }
    std::unique_ptr<handset::ChangeFeed> open_change_feed() override { return nullptr; }

  private:
    std::map<DWORD, handset::PhonebookEntry> m_entries;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryCard card;
    std::string sent;
    handsetctl::AtFront front(card, [&](std::string_view bytes) { sent += bytes; });
    front.receive({reinterpret_cast<const char*>(data), size});
    return 0;
}
