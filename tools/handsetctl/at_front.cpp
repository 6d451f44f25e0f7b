#include "at_front.h"

#include "text_output.h"

#include <simmgr.h>
#include <tapi.h>

#include <algorithm>
#include <array>

namespace handsetctl {

namespace {

constexpr const char* manufacturer_name = "Telvane";
constexpr const char* model_name = "Emulated handset";
// An IMEI and an IMSI that no real handset or subscriber has: a valid IMEI check digit, and the
// test network's country and network codes (001 01).
constexpr const char* serial = "350000000000006";
constexpr const char* subscriber = "001010123456789";

bool no_number(const AtCommand& command) {
    return command.argument.empty() || command.argument == "0";
}

// The set command's one parameter, or nothing when there is not exactly one.
std::optional<AtParameter> sole_parameter(const AtCommand& command) {
    const auto parameters = command.parameters();
    if (command.form != AtCommand::Form::set || !parameters || parameters->size() != 1) {
        return std::nullopt;
    }
    return parameters->front();
}

} // namespace

const AtFront::Entry* AtFront::handler_of(std::string_view name) {
    static constexpr std::array<Entry, 26> handlers{{
        {"E", &AtFront::echo},
        {"Z", &AtFront::reset},
        {"&F", &AtFront::reset},
        {"I", &AtFront::identify},
        {"H", &AtFront::hang_up},
        {"D", &AtFront::dial},
        {"+CGMI", &AtFront::manufacturer},
        {"+GMI", &AtFront::manufacturer},
        {"+CGMM", &AtFront::model},
        {"+GMM", &AtFront::model},
        {"+CGMR", &AtFront::revision},
        {"+GMR", &AtFront::revision},
        {"+CGSN", &AtFront::serial_number},
        {"+GSN", &AtFront::serial_number},
        {"+CIMI", &AtFront::subscriber_identity},
        {"+CMEE", &AtFront::error_mode},
        {"+CPIN", &AtFront::pin_state},
        {"+CLCK", &AtFront::facility_lock},
        {"+CFUN", &AtFront::functionality},
        {"+CSCS", &AtFront::character_set},
        {"+CHUP", &AtFront::hang_up},
        {"+CCLK", &AtFront::clock},
        {"+CPBS", &AtFront::phonebook_storage},
        {"+CPBR", &AtFront::phonebook_read},
        {"+CPBF", &AtFront::phonebook_find},
        {"+CPBW", &AtFront::phonebook_write},
    }};
    const auto found = std::find_if(handlers.begin(), handlers.end(),
                                    [&](const Entry& entry) { return entry.name == name; });
    return found == handlers.end() ? nullptr : &*found;
}

AtFront::AtFront(handset::CardBackend& card, Write write)
    : m_card(card), m_write(std::move(write)), m_phonebook(card, m_charset),
      m_info([this](const std::string& line) { info(line); }) {}

void AtFront::receive(std::string_view bytes) {
    for (char byte : bytes) {
        take(byte);
    }
    flush_echo();
}

void AtFront::take(char byte) {
    if (m_echo) {
        m_echoed.push_back(byte);
    }
    switch (byte) {
    case '\r':
        run_line();
        return;
    case '\n':
        return;
    case '\b':
    case '\x7F':
        if (!m_line.empty()) {
            m_line.pop_back();
        }
        return;
    }
    if (m_line.size() == longest_line) {
        m_overlong = true;
        return;
    }
    m_line.push_back(byte);
}

void AtFront::flush_echo() {
    if (!m_echoed.empty()) {
        m_write(m_echoed);
        m_echoed.clear();
    }
}

void AtFront::run_line() {
    flush_echo();
    const std::string line = std::move(m_line);
    const bool overlong = std::exchange(m_overlong, false);
    m_line.clear();
    if (overlong) {
        finish(AtResult::error());
        return;
    }
    size_t start = 0;
    while (start + 1 < line.size() && !equals_ignoring_case(line.substr(start, 2), "AT")) {
        ++start;
    }
    if (start + 1 >= line.size()) {
        return;
    }
    const auto commands = parse_command_line(std::string_view(line).substr(start + 2));
    if (!commands) {
        finish(AtResult::error());
        return;
    }
    for (const AtCommand& command : *commands) {
        if (const AtResult result = run(command); !result.succeeded()) {
            finish(result);
            return;
        }
    }
    finish(AtResult::ok());
}

AtResult AtFront::run(const AtCommand& command) {
    m_replied = false;
    const Entry* entry = handler_of(command.name);
    return entry ? (this->*entry->handler)(command) : AtResult::error();
}

void AtFront::info(const std::string& line) {
    m_write((m_replied ? "" : "\r\n") + line + "\r\n");
    m_replied = true;
}

void AtFront::finish(const AtResult& result) {
    std::string code;
    switch (result.kind) {
    case AtResult::Kind::ok:
        code = "OK";
        break;
    case AtResult::Kind::error:
        code = "ERROR";
        break;
    case AtResult::Kind::no_carrier:
        code = "NO CARRIER";
        break;
    case AtResult::Kind::cme_error:
        code = m_error_mode == 0   ? "ERROR"
               : m_error_mode == 1 ? "+CME ERROR: " + std::to_string(static_cast<int>(result.cme))
                                   : "+CME ERROR: " + std::string(cme_text(result.cme));
        break;
    }
    m_write("\r\n" + code + "\r\n");
}

AtResult AtFront::echo(const AtCommand& command) {
    if (!no_number(command) && command.argument != "1") {
        return AtResult::error();
    }
    m_echo = command.argument == "1";
    return AtResult::ok();
}

AtResult AtFront::reset(const AtCommand& command) {
    if (!no_number(command)) {
        return AtResult::error();
    }
    m_echo = true;
    m_error_mode = 0;
    m_charset = AtCharset::ira;
    return AtResult::ok();
}

AtResult AtFront::identify(const AtCommand& command) {
    if (!no_number(command)) {
        return AtResult::error();
    }
    info(manufacturer_name);
    info(model_name);
    info(std::string("Revision: ") + TELVANE_VERSION);
    return AtResult::ok();
}

AtResult AtFront::constant(const AtCommand& command, const std::string& text) {
    switch (command.form) {
    case AtCommand::Form::action:
        info(text);
        return AtResult::ok();
    case AtCommand::Form::test:
        return AtResult::ok();
    case AtCommand::Form::set:
    case AtCommand::Form::read:
        return AtResult::error();
    }
    return AtResult::error();
}

AtResult AtFront::manufacturer(const AtCommand& command) {
    return constant(command, manufacturer_name);
}

AtResult AtFront::model(const AtCommand& command) {
    return constant(command, model_name);
}

AtResult AtFront::revision(const AtCommand& command) {
    return constant(command, TELVANE_VERSION);
}

AtResult AtFront::serial_number(const AtCommand& command) {
    return constant(command, serial);
}

// The subscriber's identity is on the card, so it is read only from a card that answers.
AtResult AtFront::subscriber_identity(const AtCommand& command) {
    handset::CardProfile profile;
    if (command.form == AtCommand::Form::action) {
        if (const AtResult card = AtResult::of(m_card.capabilities(profile)); !card.succeeded()) {
            return card;
        }
    }
    return constant(command, subscriber);
}

AtResult AtFront::error_mode(const AtCommand& command) {
    switch (command.form) {
    case AtCommand::Form::test:
        info("+CMEE: (0-2)");
        return AtResult::ok();
    case AtCommand::Form::read:
        info("+CMEE: " + std::to_string(m_error_mode));
        return AtResult::ok();
    case AtCommand::Form::set:
        break;
    case AtCommand::Form::action:
        return AtResult::error();
    }
    const std::optional<AtParameter> mode = sole_parameter(command);
    const std::optional<uint32_t> value =
        mode && mode->omitted() ? 0 : (mode ? decimal_value(*mode) : std::nullopt);
    if (!value || *value > 2) {
        return AtResult::error();
    }
    m_error_mode = static_cast<int>(*value);
    return AtResult::ok();
}

// The card's PIN is entered with handsetctl (sim lock none), not over the line.
AtResult AtFront::pin_state(const AtCommand& command) {
    switch (command.form) {
    case AtCommand::Form::test:
        return AtResult::ok();
    case AtCommand::Form::set:
        return AtResult::failed(CmeError::operation_not_allowed);
    case AtCommand::Form::action:
        return AtResult::error();
    case AtCommand::Form::read:
        break;
    }
    DWORD state = SIM_LOCKEDSTATE_UNKNOWN;
    const AtResult result = AtResult::of(m_card.lock_state(state));
    if (result.succeeded()) {
        info(state == SIM_LOCKEDSTATE_SIM_PUK   ? "+CPIN: SIM PUK"
             : state == SIM_LOCKEDSTATE_SIM_PIN ? "+CPIN: SIM PIN"
                                                : "+CPIN: READY");
    }
    return result;
}

// Only the status query (mode 2) of the fixed dialling ("FD") and SIM PIN ("SC") locks. A card
// that waits for its PIN or PUK has the PIN lock on; one that is ready is reported as having it
// off, as the card keeps no other trace of it.
AtResult AtFront::facility_lock(const AtCommand& command) {
    if (command.form == AtCommand::Form::test) {
        info("+CLCK: (\"FD\",\"SC\")");
        return AtResult::ok();
    }
    const auto parameters = command.parameters();
    if (command.form != AtCommand::Form::set || !parameters || parameters->size() < 2) {
        return AtResult::error();
    }
    const std::string& facility = (*parameters)[0].text;
    if ((*parameters)[1].text != "2") {
        return AtResult::failed(CmeError::operation_not_allowed);
    }
    bool enabled = false;
    AtResult result = AtResult::failed(CmeError::operation_not_supported);
    if (equals_ignoring_case(facility, "FD")) {
        result = AtResult::of(m_card.locking_status(SIM_LOCKFACILITY_SIM_FIXEDIALING, enabled));
    } else if (equals_ignoring_case(facility, "SC")) {
        DWORD state = SIM_LOCKEDSTATE_UNKNOWN;
        result = AtResult::of(m_card.lock_state(state));
        enabled = state == SIM_LOCKEDSTATE_SIM_PIN || state == SIM_LOCKEDSTATE_SIM_PUK;
    }
    if (result.succeeded()) {
        info(enabled ? "+CLCK: 1" : "+CLCK: 0");
    }
    return result;
}

// The radio is switched with handsetctl (radio on|off); over the line, full functionality can
// only be asked for while the radio is on.
AtResult AtFront::functionality(const AtCommand& command) {
    switch (command.form) {
    case AtCommand::Form::read:
        info(radio_on() ? "+CFUN: 1" : "+CFUN: 0");
        return AtResult::ok();
    case AtCommand::Form::test:
        info("+CFUN: (1)");
        return AtResult::ok();
    case AtCommand::Form::set: {
        const auto parameters = command.parameters();
        const bool full = parameters && !parameters->empty() && parameters->front().text == "1";
        return full && radio_on() ? AtResult::ok()
                                  : AtResult::failed(CmeError::operation_not_allowed);
    }
    case AtCommand::Form::action:
        return AtResult::error();
    }
    return AtResult::error();
}

bool AtFront::radio_on() {
    DWORD state = SIM_LOCKEDSTATE_UNKNOWN;
    return m_card.lock_state(state) != SIM_E_RADIOOFF;
}

AtResult AtFront::character_set(const AtCommand& command) {
    switch (command.form) {
    case AtCommand::Form::read:
        info("+CSCS: \"" + std::string(charset_name(m_charset)) + "\"");
        return AtResult::ok();
    case AtCommand::Form::test:
        info("+CSCS: (\"IRA\",\"GSM\",\"UCS2\")");
        return AtResult::ok();
    case AtCommand::Form::set:
        break;
    case AtCommand::Form::action:
        return AtResult::error();
    }
    const std::optional<AtParameter> name = sole_parameter(command);
    const std::optional<AtCharset> charset = name ? charset_named(name->text) : std::nullopt;
    if (!charset) {
        return AtResult::failed(CmeError::operation_not_supported);
    }
    m_charset = *charset;
    return AtResult::ok();
}

// No call stays up on this line, so there is never one to end.
AtResult AtFront::hang_up(const AtCommand& command) {
    const bool basic = command.name == "H";
    const bool valid =
        basic ? no_number(command)
              : command.form == AtCommand::Form::action || command.form == AtCommand::Form::test;
    return valid ? AtResult::ok() : AtResult::error();
}

AtResult AtFront::clock(const AtCommand& command) {
    switch (command.form) {
    case AtCommand::Form::read:
        info("+CCLK: \"" + m_clock.now() + "\"");
        return AtResult::ok();
    case AtCommand::Form::test:
        return AtResult::ok();
    case AtCommand::Form::set:
        break;
    case AtCommand::Form::action:
        return AtResult::error();
    }
    const std::optional<AtParameter> time = sole_parameter(command);
    return time && m_clock.set(time->text) ? AtResult::ok()
                                           : AtResult::failed(CmeError::incorrect_parameters);
}

// D<number>; places a voice call and D><index>; calls the phonebook entry in that slot, both
// recorded in the card's call log. Without the ';' it is a data call, which this line does not
// carry. The dial modifiers T, P and W are ignored, and ',' is the pause the card stores as 'p'.
AtResult AtFront::dial(const AtCommand& command) {
    std::string_view dial = command.argument;
    if (dial.empty() || dial.back() != ';') {
        return AtResult::no_carrier();
    }
    dial.remove_suffix(1);
    return dial.starts_with('>') ? dial_entry(dial.substr(1)) : dial_number(dial);
}

AtResult AtFront::dial_entry(std::string_view slot) {
    const std::optional<uint32_t> index = decimal_value(AtParameter{std::string(slot), false});
    if (!index) {
        return AtResult::failed(CmeError::invalid_index);
    }
    handset::PhonebookEntry entry;
    const AtResult read = AtResult::of(m_card.read_entry(*index, entry));
    return read.succeeded() ? call(entry.number, entry.name) : read;
}

AtResult AtFront::dial_number(std::string_view dial) {
    std::u16string digits;
    for (char character : dial) {
        if (std::string_view("TtPpWw").find(character) == std::string_view::npos) {
            digits.push_back(
                character == ',' ? u'p' : static_cast<char16_t>(static_cast<uint8_t>(character)));
        }
    }
    const auto number = handset::DiallingNumber::parse(digits);
    if (!number || digits.empty()) {
        return AtResult::failed(!number && number.error() == handset::NumberError::too_long
                                    ? CmeError::dial_string_too_long
                                    : CmeError::invalid_dial_characters);
    }
    if (number->digits().size() > handset::DiallingNumber::max_digits) {
        return AtResult::failed(CmeError::dial_string_too_long);
    }
    return call(*number, u"");
}

AtResult AtFront::call(const handset::DiallingNumber& number, std::u16string_view name) {
    return m_card.place_call(number.text(), name) == TAPIERR_CONNECTED ? AtResult::ok()
                                                                       : AtResult::no_carrier();
}

AtResult AtFront::phonebook_storage(const AtCommand& command) {
    return m_phonebook.storage(command, m_info);
}

AtResult AtFront::phonebook_read(const AtCommand& command) {
    return m_phonebook.read(command, m_info);
}

AtResult AtFront::phonebook_find(const AtCommand& command) {
    return m_phonebook.find(command, m_info);
}

AtResult AtFront::phonebook_write(const AtCommand& command) {
    return m_phonebook.write(command, m_info);
}

} // namespace handsetctl
