#include "cellcore/modem_card.h"

#include "base/debug_output.h"
#include "base/utf.h"
#include "cellcore/at_error.h"
#include "cellcore/at_reply.h"
#include "cellcore/link_change_feed.h"
#include "cellcore/pin_code.h"

#include <simmgr.h>
#include <tapi.h>

#include <algorithm>
#include <array>

namespace handset {

namespace {

// The values of the first information line called name.
std::optional<std::vector<AtValue>> response_values(const AtResponse& response,
                                                    std::string_view name) {
    for (const std::string& line : response.lines) {
        const std::optional<std::string_view> body = response_body(line, name);
        std::optional<std::vector<AtValue>> values = body ? parse_values(*body) : std::nullopt;
        if (values && !values->empty()) {
            return values;
        }
    }
    return std::nullopt;
}

std::optional<AtValue> first_value(const AtResponse& response, std::string_view name) {
    std::optional<std::vector<AtValue>> values = response_values(response, name);
    return values ? std::optional(std::move(values->front())) : std::nullopt;
}

void collect_texts(const AtValue& value, std::vector<std::string>& texts) {
    if (value.kind == AtValue::Kind::text || value.kind == AtValue::Kind::token) {
        texts.push_back(value.text);
    }
    for (const AtValue& item : value.items) {
        collect_texts(item, texts);
    }
}

struct PinState {
    std::string_view text;
    DWORD state;
};

// SIM PIN2 and SIM PUK2 guard single operations of a card that is otherwise ready.
constexpr std::array<PinState, 5> pin_states = {{
    {"READY", SIM_LOCKEDSTATE_READY},
    {"SIM PIN", SIM_LOCKEDSTATE_SIM_PIN},
    {"SIM PUK", SIM_LOCKEDSTATE_SIM_PUK},
    {"SIM PIN2", SIM_LOCKEDSTATE_READY},
    {"SIM PUK2", SIM_LOCKEDSTATE_READY},
}};

// The values of "+CPBS: "SM",..."; nothing when another storage is selected.
std::optional<std::vector<AtValue>> storage_status(const AtResponse& response) {
    std::optional<std::vector<AtValue>> values = response_values(response, "+CPBS");
    return values && same_ascii_text(values->front().text, "SM") ? values : std::nullopt;
}

bool is_not_found(const AtResponse& response) {
    return response.outcome == AtOutcome::cme_error && sim_error(response) == SIM_E_NOTFOUND;
}

// Separators people write in numbers, which a dial string must not carry.
std::u16string without_separators(std::u16string_view number) {
    std::u16string dial;
    std::copy_if(number.begin(), number.end(), std::back_inserter(dial), [](char16_t c) {
        return std::u16string_view(u" -().").find(c) == std::u16string_view::npos;
    });
    return dial;
}

} // namespace

ModemCard::ModemCard(SerialLine line, std::chrono::milliseconds timeout)
    : m_link(std::make_shared<ModemLink>(std::move(line), timeout)) {}

AtResponse ModemCard::command(const std::string& command) {
    return m_link->command(command);
}

HRESULT ModemCard::start() {
    // A card that went away took its phonebook along; the next one may differ in everything.
    if (m_link->take_card_removed()) {
        m_phonebook.reset();
        m_window.reset();
    }
    if (m_started) {
        return S_OK;
    }
    const AtResponse echo_off = command("ATE0");
    if (!echo_off.ok()) {
        return sim_error(echo_off);
    }
    const AtResponse numeric_errors = command("AT+CMEE=1");
    if (numeric_errors.outcome == AtOutcome::timeout ||
        numeric_errors.outcome == AtOutcome::closed) {
        return sim_error(numeric_errors);
    }
    choose_charset();
    m_started = true;
    return S_OK;
}

// The names a "=?" query lists, in parentheses or bare: +CPBS: ("SM","FD"), +CLCK: ("SC","FD").
std::vector<std::string> ModemCard::listed_names(const char* query, std::string_view name) {
    std::vector<std::string> names;
    if (std::optional<std::vector<AtValue>> values = response_values(command(query), name)) {
        for (const AtValue& value : *values) {
            collect_texts(value, names);
        }
    }
    return names;
}

// What SimGetDevCaps reports of the card beyond its sizes: the storages and lock facilities the
// modem lists that the SIM library has names for. A modem that lists none is taken to have the
// SIM phonebook and the PIN lock, which a phonebook on a SIM implies.
void ModemCard::read_card_facts(CardProfile& profile) {
    struct Named {
        const char* name;
        uint32_t bit;
    };
    static constexpr Named storages[] = {{"SM", SIM_PBSTORAGE_SIM},
                                         {"FD", SIM_PBSTORAGE_FIXEDDIALING},
                                         {"EN", SIM_PBSTORAGE_EMERGENCY},
                                         {"ON", SIM_PBSTORAGE_OWNNUMBERS},
                                         {"LD", SIM_PBSTORAGE_LASTDIALING}};
    static constexpr Named facilities[] = {{"SC", SIM_LOCKFACILITY_SIM},
                                           {"P2", SIM_LOCKFACILITY_SIM_PIN2},
                                           {"FD", SIM_LOCKFACILITY_SIM_FIXEDIALING}};
    const auto bits = [](const std::vector<std::string>& listed, const auto& known) {
        uint32_t found = 0;
        for (const Named& entry : known) {
            for (const std::string& name : listed) {
                found |= same_ascii_text(name, entry.name) ? entry.bit : 0;
            }
        }
        return found;
    };
    profile.storages = bits(listed_names("AT+CPBS=?", "+CPBS"), storages) | SIM_PBSTORAGE_SIM;
    profile.lock_facilities =
        bits(listed_names("AT+CLCK=?", "+CLCK"), facilities) | SIM_LOCKFACILITY_SIM;
}

// A modem that lists no sets, or refuses each, keeps its own: the one AT+CSCS? names when we
// know it, else IRA, which every modem has.
void ModemCard::choose_charset() {
    // Listed in parentheses by most modems, bare by some.
    const std::vector<std::string> offered = listed_names("AT+CSCS=?", "+CSCS");
    const auto known = [](std::string_view name) -> std::optional<ModemCharset> {
        for (ModemCharset charset : {ModemCharset::ucs2, ModemCharset::gsm, ModemCharset::ira}) {
            if (same_ascii_text(name, charset_name(charset))) {
                return charset;
            }
        }
        return std::nullopt;
    };
    std::optional<ModemCharset> chosen;
    for (ModemCharset charset : {ModemCharset::ucs2, ModemCharset::gsm, ModemCharset::ira}) {
        const bool listed =
            std::any_of(offered.begin(), offered.end(),
                        [&](const std::string& name) { return known(name) == charset; });
        if (listed && command("AT+CSCS=\"" + std::string(charset_name(charset)) + "\"").ok()) {
            chosen = charset;
            break;
        }
    }
    if (!chosen) {
        const std::optional<AtValue> active = first_value(command("AT+CSCS?"), "+CSCS");
        chosen = active ? known(active->text) : std::nullopt;
    }
    m_charset = chosen.value_or(ModemCharset::ira);
    debug_printf("modem: names in %s", charset_name(m_charset));
}

// A modem that cannot say (ERROR to AT+CFUN?) is taken to have its radio on.
HRESULT ModemCard::radio_refusal() {
    const AtResponse radio = command("AT+CFUN?");
    if (radio.outcome == AtOutcome::timeout || radio.outcome == AtOutcome::closed) {
        return sim_error(radio);
    }
    const std::optional<AtValue> level = first_value(radio, "+CFUN");
    const bool off =
        radio.ok() && level && level->kind == AtValue::Kind::number && level->number == 0;
    m_link->radio_seen(!off);
    return off ? SIM_E_RADIOOFF : S_OK;
}

// A refusal may come from a radio switched off since the last look; that is what to report then.
HRESULT ModemCard::failure(const AtResponse& response) {
    const HRESULT result = sim_error(response);
    if (result == SIM_E_RADIONOTPRESENT) {
        return result;
    }
    const HRESULT radio = radio_refusal();
    return radio == S_OK ? result : radio;
}

HRESULT ModemCard::open_phonebook() {
    if (const HRESULT started = start(); started != S_OK) {
        return started;
    }
    if (m_phonebook) {
        return S_OK;
    }
    const AtResponse select = command("AT+CPBS=\"SM\"");
    if (!select.ok()) {
        return failure(select);
    }
    const AtResponse sizes = command("AT+CPBR=?");
    if (!sizes.ok()) {
        return failure(sizes);
    }
    for (const std::string& line : sizes.lines) {
        if (std::optional<ModemPhonebook> phonebook = parse_phonebook_capabilities(line)) {
            read_card_facts(phonebook->profile);
            m_phonebook = phonebook;
            return S_OK;
        }
    }
    debug_line("modem: the phonebook's sizes are not in the answer to AT+CPBR=?");
    return SIM_E_MOBILEERROR;
}

HRESULT ModemCard::check_slot(DWORD index) const {
    return index >= 1 && index <= static_cast<DWORD>(m_phonebook->profile.slots)
               ? S_OK
               : SIM_E_INVALIDINDEX;
}

HRESULT ModemCard::lock_state(DWORD& state) {
    if (const HRESULT started = start(); started != S_OK) {
        return started;
    }
    if (const HRESULT radio = radio_refusal(); radio != S_OK) {
        return radio;
    }
    const AtResponse pin = command("AT+CPIN?");
    if (!pin.ok()) {
        return sim_error(pin);
    }
    const std::optional<AtValue> value = first_value(pin, "+CPIN");
    const std::string_view text = value ? std::string_view(value->text) : std::string_view{};
    if (text.starts_with("NOT")) {
        m_phonebook.reset();
        m_window.reset();
        return SIM_E_SIMNOTINSERTED;
    }
    state = SIM_LOCKEDSTATE_UNKNOWN;
    for (const PinState& known : pin_states) {
        if (same_ascii_text(text, known.text)) {
            state = known.state;
        }
    }
    return S_OK;
}

HRESULT ModemCard::locking_status(DWORD facility, bool& enabled) {
    const char* code = facility == SIM_LOCKFACILITY_SIM_FIXEDIALING ? "FD"
                       : facility == SIM_LOCKFACILITY_SIM           ? "SC"
                                                                    : nullptr;
    if (code == nullptr) {
        return SIM_E_UNSUPPORTED;
    }
    if (const HRESULT started = start(); started != S_OK) {
        return started;
    }
    const AtResponse status = command(std::string("AT+CLCK=\"") + code + "\",2");
    if (!status.ok()) {
        return failure(status);
    }
    const std::optional<AtValue> value = first_value(status, "+CLCK");
    if (!value || value->kind != AtValue::Kind::number) {
        return SIM_E_MOBILEERROR;
    }
    enabled = value->number == 1;
    return S_OK;
}

HRESULT ModemCard::capabilities(CardProfile& profile) {
    if (const HRESULT started = start(); started != S_OK) {
        return started;
    }
    if (const HRESULT radio = radio_refusal(); radio != S_OK) {
        return radio;
    }
    if (const HRESULT opened = open_phonebook(); opened != S_OK) {
        return opened;
    }
    profile = m_phonebook->profile;
    return S_OK;
}

// "+CPBS: "SM",used,total"; a modem that leaves out the counts has its slots counted. When
// someone chose another storage at the modem since, ours is selected again, once.
HRESULT ModemCard::phonebook_status(DWORD& used, DWORD& total) {
    CardProfile profile;
    if (const HRESULT opened = capabilities(profile); opened != S_OK) {
        return opened;
    }
    std::optional<std::vector<AtValue>> values;
    for (int attempt = 0; attempt < 2 && !values; ++attempt) {
        const AtResponse status = command("AT+CPBS?");
        if (!status.ok()) {
            return failure(status);
        }
        values = storage_status(status);
        if (!values) {
            m_phonebook.reset();
            if (const HRESULT opened = open_phonebook(); opened != S_OK) {
                return opened;
            }
        }
    }
    if (!values) {
        return SIM_E_MOBILEERROR;
    }
    total = static_cast<DWORD>(m_phonebook->profile.slots);
    if (values->size() >= 2 && (*values)[1].kind == AtValue::Kind::number) {
        used = static_cast<DWORD>(std::min<int64_t>((*values)[1].number, total));
        return S_OK;
    }
    return count_used(used);
}

HRESULT ModemCard::count_used(DWORD& used) {
    used = 0;
    for (int slot = 1; slot <= m_phonebook->profile.slots; slot += window_slots) {
        if (const HRESULT read = read_window(slot); read != S_OK) {
            return read;
        }
        used += static_cast<DWORD>(m_window->entries.size());
    }
    return S_OK;
}

HRESULT ModemCard::read_window(int slot) {
    const int last = std::min(slot + window_slots - 1, m_phonebook->profile.slots);
    m_window.reset();
    const AtResponse read = command("AT+CPBR=" + std::to_string(modem_index(slot)) + "," +
                                    std::to_string(modem_index(last)));
    // Some modems answer an empty range with "not found" instead of no lines.
    if (!read.ok() && !is_not_found(read)) {
        return failure(read);
    }
    Window window{slot, last, std::chrono::steady_clock::now(), {}};
    for (const std::string& line : read.lines) {
        std::optional<ModemEntry> found = parse_entry(line, m_charset);
        const int found_slot = found ? found->index - m_phonebook->first_index + 1 : 0;
        if (found_slot >= slot && found_slot <= last && !found->entry.empty()) {
            window.entries.emplace(found_slot, std::move(found->entry));
        }
    }
    m_window = std::move(window);
    return S_OK;
}

HRESULT ModemCard::read_entry(DWORD index, PhonebookEntry& entry) {
    if (const HRESULT opened = open_phonebook(); opened != S_OK) {
        return opened;
    }
    if (const HRESULT checked = check_slot(index); checked != S_OK) {
        return checked;
    }
    const int slot = static_cast<int>(index);
    const bool fresh = m_window && slot >= m_window->first_slot && slot <= m_window->last_slot &&
                       std::chrono::steady_clock::now() - m_window->read_at < window_age;
    if (!fresh) {
        if (const HRESULT read = read_window(slot); read != S_OK) {
            return read;
        }
    }
    const auto found = m_window->entries.find(slot);
    if (found == m_window->entries.end()) {
        return SIM_E_NOTFOUND;
    }
    entry = found->second;
    return S_OK;
}

// A plain write leaves the slot's additional number and e-mail as they were; a modem replaces
// the whole entry, so they are read and written back with it.
HRESULT ModemCard::merge_stored_fields(DWORD index, PhonebookEntry& entry) {
    if (index == SIM_PBINDEX_FIRSTAVAILABLE) {
        return S_OK;
    }
    m_window.reset();
    PhonebookEntry stored;
    const HRESULT read = read_entry(index, stored);
    if (read == S_OK) {
        entry.additional_number = stored.additional_number;
        entry.email = stored.email;
    }
    return read == SIM_E_NOTFOUND ? S_OK : read;
}

HRESULT ModemCard::write_entry(DWORD index, const PhonebookEntry& entry, EntryFields fields) {
    if (const HRESULT opened = open_phonebook(); opened != S_OK) {
        return opened;
    }
    if (index != SIM_PBINDEX_FIRSTAVAILABLE) {
        if (const HRESULT checked = check_slot(index); checked != S_OK) {
            return checked;
        }
    }
    const ExtendedCapabilities& extended = m_phonebook->profile.extended;
    const bool extra_number = entry.additional_number && !entry.additional_number->empty();
    const bool extra_email = entry.email && !entry.email->empty();
    if (entry.empty() ||
        (fields == EntryFields::all && ((extra_number && !extended.holds_additional_number()) ||
                                        (extra_email && !extended.holds_email())))) {
        return SIM_E_BADPARAM;
    }
    PhonebookEntry written = entry;
    const bool extended_form = extended.holds_additional_number();
    if (extended_form && fields == EntryFields::name_and_number) {
        if (const HRESULT merged = merge_stored_fields(index, written); merged != S_OK) {
            return merged;
        }
    }
    const int target =
        index == SIM_PBINDEX_FIRSTAVAILABLE ? 0 : modem_index(static_cast<int>(index));
    const std::optional<std::string> line =
        write_command(target, written, m_charset, extended_form);
    if (!line) {
        debug_printf("modem: entry refused: a character that %s or a dial string cannot carry",
                     charset_name(m_charset));
        return SIM_E_BADPARAM;
    }
    m_window.reset();
    const AtResponse stored = command(*line);
    return stored.ok() ? S_OK : failure(stored);
}

HRESULT ModemCard::delete_entry(DWORD index) {
    if (const HRESULT opened = open_phonebook(); opened != S_OK) {
        return opened;
    }
    if (const HRESULT checked = check_slot(index); checked != S_OK) {
        return checked;
    }
    m_window.reset();
    const AtResponse deleted =
        command("AT+CPBW=" + std::to_string(modem_index(static_cast<int>(index))));
    return deleted.ok() ? S_OK : failure(deleted);
}

LONG ModemCard::place_call(std::u16string_view number, std::u16string_view) {
    const std::u16string dial = without_separators(number);
    if (!is_dial_string(dial)) {
        return TAPIERR_INVALDESTADDRESS;
    }
    if (start() != S_OK) {
        return TAPIERR_REQUESTFAILED;
    }
    const AtResponse call = m_link->command("ATD" + utf16_to_utf8(dial) + ";", dial_timeout);
    if (call.ok() || call.outcome == AtOutcome::connect) {
        return TAPIERR_CONNECTED;
    }
    if (call.outcome != AtOutcome::timeout && call.outcome != AtOutcome::closed &&
        radio_refusal() == SIM_E_RADIOOFF) {
        debug_line("modem: no call placed: the radio is off");
    }
    return TAPIERR_REQUESTFAILED;
}

HRESULT ModemCard::verify_pin(std::u16string_view pin, PinAttempt attempt, int& tries_left) {
    tries_left = -1;
    if (!well_formed_pin(pin)) {
        return SIM_E_BADPARAM;
    }
    DWORD state = SIM_LOCKEDSTATE_UNKNOWN;
    if (const HRESULT locked = lock_state(state); locked != S_OK) {
        return locked;
    }
    if (state == SIM_LOCKEDSTATE_SIM_PUK) {
        tries_left = 0;
        return SIM_E_SIMPUKREQUIRED;
    }
    if (state != SIM_LOCKEDSTATE_SIM_PIN) {
        return S_OK;
    }
    if (attempt == PinAttempt::spare_last_try) {
        return SIM_E_SECURITYFAILURE;
    }
    const AtResponse entered = command("AT+CPIN=\"" + utf16_to_utf8(pin) + "\"");
    return entered.ok() ? S_OK : sim_error(entered);
}

std::unique_ptr<ChangeFeed> ModemCard::open_change_feed() {
    return std::make_unique<LinkChangeFeed>(m_link);
}

std::unique_ptr<CardBackend> open_modem_card(const std::string& device, int baud) {
    return std::make_unique<ModemCard>(SerialLine::open(device, baud));
}

std::unique_ptr<CardBackend> open_modem_card(int descriptor) {
    return std::make_unique<ModemCard>(SerialLine(descriptor));
}

} // namespace handset
