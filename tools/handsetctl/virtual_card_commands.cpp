#include "commands.h"

#include "stop_signals.h"
#include "text_files.h"
#include "virtual_sim.h"
#include "vpcd_link.h"

#include <algorithm>
#include <cctype>

namespace handsetctl {

namespace {

// What a card without a PIN file of its own asks for.
constexpr std::string_view default_pin = "0000";
constexpr size_t shortest_pin = 4;
constexpr size_t longest_pin = 8;
// Far more than a line of digits.
constexpr size_t largest_pin_file = 4096;

// The PIN on the first line of the file, so that it never shows in a list of processes.
std::string read_pin(const std::string& file) {
    const std::string text = read_input(file, "PIN file", largest_pin_file);
    std::string pin = text.substr(0, text.find('\n'));
    while (!pin.empty() && std::isspace(static_cast<unsigned char>(pin.back()))) {
        pin.pop_back();
    }
    const bool digits =
        std::all_of(pin.begin(), pin.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!digits || pin.size() < shortest_pin || pin.size() > longest_pin) {
        throw OperationError("the first line of " + input_name(file) +
                             " must be the PIN: 4 to 8 digits");
    }
    return pin;
}

void serve_command(Arguments& words, std::ostream& out) {
    const std::optional<std::string> pin_file = words.option("--pin-file");
    if (!words.flag("--vpcd")) {
        throw UsageError("card serve needs --vpcd: the virtual reader is where it serves the card");
    }
    const std::optional<std::string> where = words.optional_word();
    words.finish();
    const std::optional<VpcdAddress> address =
        where ? parse_vpcd_address(*where) : std::optional<VpcdAddress>(VpcdAddress{});
    if (!address) {
        throw UsageError("--vpcd takes [[HOST:]PORT], not '" + *where + "'");
    }
    const std::string pin = pin_file ? read_pin(*pin_file) : std::string(default_pin);
    handset::CardFile file = open_card(Use::changing);
    VirtualSim card(file, pin);
    const StopSignals signals;
    VpcdLink link(card, *address, out);
    link.serve(StopSignals::stop_requested(), signals.during_wait());
}

} // namespace

void card_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the card command");
    if (action != "serve") {
        throw UsageError("unknown card command '" + action + "'");
    }
    serve_command(words, out);
}

} // namespace handsetctl
