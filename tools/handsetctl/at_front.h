// The emulated handset's card seen as a GSM modem with that SIM inside: AT command lines
// (V.250, 3GPP TS 27.007) read from a byte stream and answered from a card driver, so that the
// card's state, its lock, the radio, fixed dialling and the device's injected faults reach an AT
// client as a modem would report them.
//
// A line starts at "AT" (anything before it is dropped, as modems do) and ends with CR; LF is
// ignored and backspace takes back a character. Characters are echoed as they come while echo is
// on (ATE1, the default). A line longer than longest_line is not kept: it is answered with ERROR
// when it ends, so that no input makes the front grow. Commands are run in order until one fails;
// the line then ends with that command's result, every other line with OK. Unknown commands are
// answered with ERROR.
#pragma once

#include "at_charset.h"
#include "at_clock.h"
#include "at_command.h"
#include "at_phonebook.h"
#include "at_result.h"

#include "cellcore/card_backend.h"

#include <functional>
#include <string>
#include <string_view>

namespace handsetctl {

class AtFront {
  public:
    using Write = std::function<void(std::string_view)>;

    static constexpr size_t longest_line = 2048;

    // Everything the front sends, echo included, goes to write.
    AtFront(handset::CardBackend& card, Write write);
    AtFront(const AtFront&) = delete;
    AtFront& operator=(const AtFront&) = delete;

    void receive(std::string_view bytes);

  private:
    using Handler = AtResult (AtFront::*)(const AtCommand&);
    struct Entry {
        std::string_view name;
        Handler handler;
    };
    static const Entry* handler_of(std::string_view name);

    void take(char byte);
    void run_line();
    AtResult run(const AtCommand& command);
    void info(const std::string& line);
    void finish(const AtResult& result);
    void flush_echo();

    AtResult echo(const AtCommand& command);
    AtResult reset(const AtCommand& command);
    AtResult identify(const AtCommand& command);
    AtResult manufacturer(const AtCommand& command);
    AtResult model(const AtCommand& command);
    AtResult revision(const AtCommand& command);
    AtResult serial_number(const AtCommand& command);
    AtResult subscriber_identity(const AtCommand& command);
    AtResult error_mode(const AtCommand& command);
    AtResult pin_state(const AtCommand& command);
    AtResult facility_lock(const AtCommand& command);
    AtResult functionality(const AtCommand& command);
    bool radio_on();
    AtResult character_set(const AtCommand& command);
    AtResult hang_up(const AtCommand& command);
    AtResult clock(const AtCommand& command);
    AtResult dial(const AtCommand& command);
    AtResult phonebook_storage(const AtCommand& command);
    AtResult phonebook_read(const AtCommand& command);
    AtResult phonebook_find(const AtCommand& command);
    AtResult phonebook_write(const AtCommand& command);
    // The reply of a command that only tells a fixed text.
    AtResult constant(const AtCommand& command, const std::string& text);
    AtResult dial_entry(std::string_view slot);
    AtResult dial_number(std::string_view dial);
    AtResult call(const handset::DiallingNumber& number, std::u16string_view name);

    handset::CardBackend& m_card;
    Write m_write;
    AtCharset m_charset = AtCharset::ira;
    AtPhonebook m_phonebook;
    AtInfo m_info;
    AtClock m_clock;

    std::string m_line;
    bool m_overlong = false;
    std::string m_echoed;
    // Whether the running command has written a line: the first is set apart by a blank line.
    bool m_replied = false;

    bool m_echo = true;
    int m_error_mode = 0; // +CMEE: 0 plain ERROR, 1 numeric, 2 verbose
};

} // namespace handsetctl
