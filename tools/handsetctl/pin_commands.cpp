#include "commands.h"
#include "pin_entry.h"
#include "sim_phonebook.h"

#include "base/utf.h"
#include "cellcore/card_backend.h"
#include "cellcore/pin_code.h"

#include <simmgr.h>

#include <unistd.h>

#include <iostream>

namespace handsetctl {

namespace {

using handset::PinAttempt;

std::string tries_text(int tries_left) {
    if (tries_left < 0) {
        return "";
    }
    return "; " + std::to_string(tries_left) + (tries_left == 1 ? " try" : " tries") + " left";
}

// The outcome in words; OperationError for every PIN the card did not accept.
void report_pin_result(HRESULT result, int tries_left, std::ostream& out) {
    switch (result) {
    case S_OK:
        out << "PIN accepted\n";
        return;
    case SIM_E_INCORRECTPASSWORD:
        throw OperationError("wrong PIN" + tries_text(tries_left));
    case SIM_E_SIMPUKREQUIRED:
        throw OperationError("the card is blocked: it needs its PUK");
    case SIM_E_SECURITYFAILURE:
        throw OperationError(tries_left == 1
                                 ? "only one try is left, and a wrong PIN would block the card; "
                                   "give --last-try to try it"
                                 : "the card does not say how many tries are left, and a wrong "
                                   "PIN could block it; give --last-try to try it");
    case SIM_E_UNSUPPORTED:
        throw OperationError("the card keeps no PIN to check ('handsetctl sim lock none' "
                             "unlocks the emulated card)");
    default:
        throw OperationError("cannot verify the PIN: " + describe_sim_result(result));
    }
}

} // namespace

void verify_command(Arguments& words, std::ostream& out) {
    const PinAttempt attempt =
        words.flag("--last-try") ? PinAttempt::last_try_allowed : PinAttempt::spare_last_try;
    words.finish();
    const std::u16string pin = handset::utf8_to_utf16(read_pin(std::cin, STDIN_FILENO, std::cerr));
    if (!handset::well_formed_pin(pin)) {
        throw OperationError("a PIN is 4 to 8 digits");
    }
    const std::unique_ptr<handset::CardBackend> card = handset::make_card_backend();
    int tries_left = -1;
    const HRESULT result = card->verify_pin(pin, attempt, tries_left);
    report_pin_result(result, tries_left, out);
}

} // namespace handsetctl
