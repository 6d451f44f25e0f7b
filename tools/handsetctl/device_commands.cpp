#include "commands.h"
#include "text_output.h"

#include "base/device_folder.h"
#include "device/device_initialiser.h"
#include "device/phone_status.h"
#include "device/sample_data.h"
#include "poom/contact_store.h"
#include "registry/key_path.h"
#include "registry/ui_language.h"

namespace handsetctl {

namespace {

using handset::CardState;

handset::CardKind card_kind_named(const std::string& name) {
    if (name == "plain") {
        return handset::CardKind::plain;
    }
    if (name == "usim") {
        return handset::CardKind::usim;
    }
    throw UsageError("--profile must be plain or usim, not '" + name + "'");
}

handset::DeviceScreen screen_named(const std::string& name) {
    if (name == "qvga") {
        return handset::DeviceScreen::qvga;
    }
    if (name == "vga") {
        return handset::DeviceScreen::vga;
    }
    throw UsageError("--screen must be qvga or vga, not '" + name + "'");
}

std::string lock_name(handset::PinLock lock) {
    switch (lock) {
    case handset::PinLock::none:
        return "none";
    case handset::PinLock::pin:
        return "PIN";
    case handset::PinLock::puk:
        return "PUK";
    }
    return "unknown";
}

std::string card_presence(const CardState& state) {
    if (!state.present) {
        return "removed";
    }
    return state.invalid ? "invalid" : "present";
}

// Prints the card's state; nothing when the card cannot be read, which is then a problem.
std::optional<CardState> report_card(std::ostream& out, std::vector<std::string>& problems) {
    try {
        handset::CardFile card = open_card(Use::reading);
        const auto [profile, state] = card.snapshot();
        // Decodes every record, so that a damaged one is found here rather than by a program.
        const size_t used = card.entries().size();
        if (const std::string problem = stray_records_problem(card); !problem.empty()) {
            problems.push_back(problem);
        }
        out << "card: " << card_presence(state) << "\n"
            << "radio: " << on_off(state.radio_on) << "\n"
            << "lock: " << lock_name(state.lock) << "\n"
            << "fixed dialling: " << on_off(state.fixed_dialling) << "\n"
            << "phonebook: " << (state.phonebook_ready ? "ready" : "not ready") << ", " << used
            << " of " << profile.slots << " slots used\n"
            << "profile: " << describe_profile(profile) << "\n";
        return state;
    } catch (const std::runtime_error& error) {
        out << "card: unreadable\n";
        problems.emplace_back(error.what());
        return std::nullopt;
    }
}

void report_contacts(std::ostream& out, std::vector<std::string>& problems) {
    handset::StoreResult result;
    const auto store =
        handset::ContactStore::open_for_reading(handset::ContactStore::default_path(), result);
    std::vector<handset::ContactRecord> contacts;
    uint64_t quota = 0;
    if (store) {
        result = store->check();
    }
    if (result.ok()) {
        result = store->list(contacts);
    }
    if (result.ok()) {
        result = store->quota_bytes(quota);
    }
    if (!result.ok()) {
        out << "contacts: unreadable\n";
        problems.push_back(result.detail);
        return;
    }
    out << "contacts: " << contacts.size() << ", quota "
        << (quota == 0 ? std::string("none") : std::to_string(quota) + " bytes") << "\n";
}

std::string status_meaning(DWORD status) {
    std::string meaning;
    const auto add = [&](DWORD bit, const char* words) {
        if ((status & bit) != 0) {
            meaning += meaning.empty() ? words : std::string(", ") + words;
        }
    };
    add(handset::phone_status_no_card, "no card");
    add(handset::phone_status_invalid_card, "invalid card");
    add(handset::phone_status_radio_off, "radio off");
    if (status == 0) {
        return "unknown";
    }
    return meaning.empty() ? "healthy" : meaning;
}

void report_phone_status(std::ostream& out, const std::optional<CardState>& state,
                         std::vector<std::string>& problems) {
    const handset::RegistryTree tree = read_registry(problems);
    const handset::RegistryKey* key =
        tree.root(handset::RegistryRoot::local_machine)
            .descendant(*handset::split_key_path(handset::phone_status_key));
    const handset::RegistryValue* value = key ? key->value(handset::phone_status_name) : nullptr;
    const std::optional<DWORD> status = value ? value->as_dword() : std::nullopt;
    if (!status) {
        out << "registry Status: missing\n";
        problems.emplace_back("the registry has no dword System\\State\\Phone \"Status\"");
        return;
    }
    out << "registry Status: " << hex_dword(*status) << " (" << status_meaning(*status) << ")\n";
    const DWORD expected = state ? handset::phone_status_for(*status, *state) : *status;
    if (expected != *status) {
        problems.push_back("the registry Status " + hex_dword(*status) +
                           " does not match the card and radio (" + hex_dword(expected) + ")");
    }
}

} // namespace

void init_command(Arguments& words, std::ostream& out) {
    handset::DeviceOptions options{.language = handset::language_of_environment()};
    if (std::optional<std::string> profile = words.option("--profile")) {
        options.card = card_kind_named(*profile);
    }
    if (std::optional<std::string> screen = words.option("--screen")) {
        options.screen = screen_named(*screen);
    }
    if (std::optional<std::string> language = words.option("--language")) {
        options.language = static_cast<WORD>(parse_integer(*language, "--language", 1, 0xFFFF));
    }
    options.empty = words.flag("--empty");
    const std::optional<handset::CardDriverConfig> driver = driver_option(words);
    words.finish();

    const std::filesystem::path folder = handset::device_folder();
    handset::initialise_device(folder, options);
    const bool usim = options.card == handset::CardKind::usim;
    const size_t entries = options.empty ? 0 : handset::sample_phonebook(usim).size();
    const size_t contacts = options.empty ? 0 : handset::sample_contacts().size();
    out << "created a device in " << folder.string() << ": " << (usim ? "USIM" : "plain")
        << " card with " << entries << " entries, " << contacts << " contacts\n";
    register_quorrel(out);
    if (driver) {
        use_card_driver(*driver, out);
    }
}

void status_command(Arguments& words, std::ostream& out) {
    words.finish();
    out << "device: " << handset::device_folder().string() << "\n";
    std::vector<std::string> problems;
    const std::optional<CardState> state = report_card(out, problems);
    report_contacts(out, problems);
    report_phone_status(out, state, problems);
    for (const std::string& problem : problems) {
        out << "problem: " << problem << "\n";
    }
    if (!problems.empty()) {
        throw OperationError(problems.size() == 1
                                 ? "the device has a problem"
                                 : "the device has " + std::to_string(problems.size()) +
                                       " problems");
    }
}

} // namespace handsetctl
