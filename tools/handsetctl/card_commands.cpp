#include "commands.h"
#include "text_files.h"
#include "text_output.h"

#include "base/device_folder.h"
#include "device/device_initialiser.h"
#include "device/phone_status.h"
#include "registry/registry_editor.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <optional>

namespace handsetctl {

namespace {

using handset::CardState;
using handset::PinLock;

// Every change of the card's state or the radio rewrites the phone's Status to match, as the
// device's radio stack does.
void change_state(const std::function<void(CardState&)>& change, std::ostream& out) {
    handset::CardFile card = open_card(Use::changing);
    card.update_state(change);
    const CardState state = card.state();
    const handset::RegistryEdit edit = handset::sync_phone_status(handset::device_folder(), state);
    if (edit.status != handset::RegistryEdit::Status::changed) {
        throw OperationError("the card changed, but the registry Status did not: " + edit.error);
    }
    static constexpr const char* locks[] = {"none", "PIN", "PUK"};
    out << "card " << (state.present ? (state.invalid ? "invalid" : "present") : "removed")
        << ", lock " << locks[static_cast<int>(state.lock)] << ", fixed dialling "
        << on_off(state.fixed_dialling) << ", phonebook "
        << (state.phonebook_ready ? "ready" : "not ready") << ", radio " << on_off(state.radio_on)
        << "\n";
}

PinLock lock_named(const std::string& name) {
    if (name == "none") {
        return PinLock::none;
    }
    if (name == "pin") {
        return PinLock::pin;
    }
    if (name == "puk") {
        return PinLock::puk;
    }
    throw UsageError("the lock must be none, pin or puk, not '" + name + "'");
}

void set_program_usim_switch(bool on) {
    const handset::RegistryEdit edit = handset::set_registry_value(
        handset::device_folder() / "registry.reg", handset::RegistryRoot::local_machine,
        handset::program_key, u"USIMSupport", handset::RegistryValue::dword(on ? 1 : 0));
    if (edit.status != handset::RegistryEdit::Status::changed) {
        throw OperationError("the profile changed, but the registry USIMSupport did not: " +
                             edit.error);
    }
}

// The sizes a profile command asks for; those not given stay as the card has them.
struct ProfileChange {
    std::optional<int> slots;
    std::optional<int> name_bytes;
    std::optional<int> number_digits;
    std::optional<int> additional_number_digits;
    std::optional<int> email_bytes;

    bool empty() const {
        return !slots && !name_bytes && !number_digits && !additional_number_digits && !email_bytes;
    }
};

// Each size within what a card can have, so that a value out of range is refused in the same
// words whichever side of the range it is on.
std::optional<int> size_option(Arguments& words, std::string_view option, int low, int high) {
    std::optional<std::string> value = words.option(option);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(parse_integer(*value, option, low, high));
}

handset::CardProfile changed_profile(handset::CardProfile profile, const ProfileChange& change) {
    profile.slots = change.slots.value_or(profile.slots);
    profile.name_bytes = change.name_bytes.value_or(profile.name_bytes);
    profile.number_digits = change.number_digits.value_or(profile.number_digits);
    handset::ExtendedCapabilities& extended = profile.extended;
    extended.additional_number_digits =
        change.additional_number_digits.value_or(extended.additional_number_digits);
    extended.email_bytes = change.email_bytes.value_or(extended.email_bytes);
    extended.additional_number_count = extended.additional_number_digits > 0 ? 1 : 0;
    extended.email_count = extended.email_bytes > 0 ? 1 : 0;
    if (const std::string problem = profile.problem(); !problem.empty()) {
        throw UsageError(problem);
    }
    return profile;
}

// Shows the profile, or changes the sizes given. The USIM switch in the registry follows the
// card's extended fields, as a program reads it to decide whether to offer them.
void profile_command(Arguments& words, std::ostream& out) {
    ProfileChange change;
    using handset::CardProfile;
    constexpr int most_digits = static_cast<int>(handset::DiallingNumber::max_digits);
    change.slots = size_option(words, "--slots", 1, CardProfile::max_slots);
    change.name_bytes = size_option(words, "--name-bytes", 0, CardProfile::max_name_bytes);
    change.number_digits = size_option(words, "--number-digits", 1, most_digits);
    change.additional_number_digits = size_option(words, "--number2-digits", 0, most_digits);
    change.email_bytes = size_option(words, "--email-bytes", 0, CardProfile::max_email_bytes);
    words.finish();
    handset::CardFile card = open_card(change.empty() ? Use::reading : Use::changing);
    handset::CardProfile profile = card.profile();
    if (!change.empty()) {
        profile = changed_profile(profile, change);
        card.set_profile(profile);
        set_program_usim_switch(profile.extended.holds_additional_number() ||
                                profile.extended.holds_email());
    }
    out << "profile: " << describe_profile(profile) << "\n";
}

void export_command(Arguments& words, std::ostream& out) {
    const std::string file = words.word("FILE");
    words.finish();
    const std::vector<std::string> lines = open_card(Use::reading).export_adn();
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    write_output(file, text, out);
    if (file != "-") {
        out << "exported " << lines.size() << " records to " << file << "\n";
    }
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// More than the records of the largest card with comments between them; a file this big, or a
// device that never ends, is not an export.
constexpr size_t largest_import = 16 * 1024 * 1024;

void import_command(Arguments& words, std::ostream& out) {
    const std::string file = words.word("FILE");
    words.finish();
    const std::vector<std::string> lines =
        split_lines(read_input(file, "a file of records", largest_import));
    handset::CardFile card = open_card(Use::changing);
    try {
        card.import_adn(lines);
    } catch (const handset::CardError& error) {
        if (error.fault() != handset::CardFault::bad_import) {
            throw;
        }
        throw OperationError("cannot import " + input_name(file) + ": " + error.what() +
                             "; the card is unchanged");
    }
    out << "imported " << card.used_slots() << " entries from " << file << "\n";
}

void switch_command(Arguments& words, std::ostream& out, std::string_view what,
                    bool CardState::*field) {
    const bool on = parse_on_off(words.word(what), what);
    words.finish();
    change_state([&](CardState& state) { state.*field = on; }, out);
}

std::string local_time(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    localtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

handset::CardFile open_card(Use use) {
    const std::filesystem::path file = handset::CardFile::default_path();
    try {
        return use == Use::reading ? handset::CardFile::open_for_reading(file)
                                   : handset::CardFile::open(file);
    } catch (const handset::CardError& error) {
        if (error.fault() == handset::CardFault::missing) {
            throw OperationError(std::string(error.what()) + "; run 'handsetctl init' first");
        }
        if (error.fault() == handset::CardFault::damaged) {
            throw OperationError(std::string(error.what()) +
                                 "; 'handsetctl init' makes a new device in its place");
        }
        throw;
    }
}

int card_slot(handset::CardFile& card, long long index) {
    handset::check_slot(index, card.profile().slots);
    return static_cast<int>(index);
}

std::string stray_records_problem(handset::CardFile& card) {
    const std::vector<int> strays = card.stray_slots();
    if (strays.empty()) {
        return {};
    }
    std::string keys;
    for (const int slot : strays) {
        keys += (keys.empty() ? "" : ", ") + std::to_string(slot);
    }
    return handset::CardFile::default_path().string() + " is damaged: it holds " +
           std::to_string(strays.size()) + " record" + (strays.size() == 1 ? "" : "s") +
           " outside the card's " + std::to_string(card.profile().slots) + " slots (slot " + keys +
           "); 'phonebook clear' or 'sim import-adn' removes them";
}

std::string describe_profile(const handset::CardProfile& profile) {
    std::string text = std::to_string(profile.slots) + " slots, names of " +
                       std::to_string(profile.name_bytes) + " bytes, numbers of " +
                       std::to_string(profile.number_digits) + " digits";
    const handset::ExtendedCapabilities& extended = profile.extended;
    if (extended.holds_additional_number()) {
        text +=
            ", second numbers of " + std::to_string(extended.additional_number_digits) + " digits";
    }
    if (extended.holds_email()) {
        text += ", e-mail of " + std::to_string(extended.email_bytes) + " bytes";
    }
    if (!extended.holds_additional_number() && !extended.holds_email()) {
        text += ", no extended phonebook";
    }
    return text;
}

void sim_command(Arguments& words, std::ostream& out) {
    const std::string action = words.word("the sim command");
    if (action == "insert" || action == "remove" || action == "invalid") {
        words.finish();
        change_state(
            [&](CardState& state) {
                state.present = action != "remove";
                state.invalid = action == "invalid";
            },
            out);
    } else if (action == "lock") {
        const PinLock lock = lock_named(words.word("the lock"));
        words.finish();
        change_state([&](CardState& state) { state.lock = lock; }, out);
    } else if (action == "fdn") {
        switch_command(words, out, "fixed dialling", &CardState::fixed_dialling);
    } else if (action == "phonebook-ready") {
        switch_command(words, out, "phonebook-ready", &CardState::phonebook_ready);
    } else if (action == "profile") {
        profile_command(words, out);
    } else if (action == "export-adn") {
        export_command(words, out);
    } else if (action == "import-adn") {
        import_command(words, out);
    } else if (action == "verify") {
        verify_command(words, out);
    } else {
        throw UsageError("unknown sim command '" + action + "'");
    }
}

void radio_command(Arguments& words, std::ostream& out) {
    switch_command(words, out, "radio", &CardState::radio_on);
}

void calls_command(Arguments& words, std::ostream& out) {
    words.finish();
    const std::vector<handset::CallRecord> calls = open_card(Use::reading).calls();
    if (calls.empty()) {
        out << "no calls\n";
    }
    for (const handset::CallRecord& call : calls) {
        out << local_time(call.time) << "  " << padded(shown(call.number), 20) << "  "
            << shown(call.name) << "\n";
    }
}

} // namespace handsetctl
