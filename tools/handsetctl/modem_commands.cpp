#include "commands.h"

#include "at_front.h"
#include "pseudo_terminal.h"
#include "serial_line.h"
#include "stop_signals.h"

#include "cellcore/emulated_card.h"

#include <unistd.h>

namespace handsetctl {

namespace {

// Beyond every serial line a modem is sold with.
constexpr long long fastest_line = 4'000'000;

bool serve(handset::CardBackend& card, int input, int output, int baud,
           const StopSignals& signals) {
    SerialLine line(input, output, baud);
    AtFront front(card, [&](std::string_view bytes) { line.write(bytes); });
    return line.serve(front, StopSignals::stop_requested(), signals.during_wait());
}

void serve_command(Arguments& words, std::ostream& out) {
    const bool pty = words.flag("--pty");
    const bool stdio = words.flag("--stdio");
    const std::optional<std::string> baud = words.option("--baud");
    words.finish();
    if (pty && stdio) {
        throw UsageError("modem serve takes --pty or --stdio, not both");
    }
    const int speed = baud ? static_cast<int>(parse_integer(*baud, "--baud", 1, fastest_line)) : 0;
    // A device without a card is a mistake in --device, not a modem with its SIM removed.
    open_card(Use::reading);
    handset::EmulatedCard card(handset::CardFile::default_path());
    const StopSignals signals;
    if (!pty) {
        if (!serve(card, STDIN_FILENO, STDOUT_FILENO, speed, signals)) {
            throw OperationError("the AT line on the standard input and output failed");
        }
        return;
    }
    const PseudoTerminal terminal;
    out << terminal.slave_path() << std::endl;
    if (!out) {
        throw OperationError("cannot write to the standard output");
    }
    if (!serve(card, terminal.master(), terminal.master(), speed, signals)) {
        throw OperationError("the AT line on " + terminal.slave_path() + " failed");
    }
}

} // namespace

void modem_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the modem command");
    if (action != "serve") {
        throw UsageError("unknown modem command '" + action + "'");
    }
    serve_command(words, out);
}

} // namespace handsetctl
