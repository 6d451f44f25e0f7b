#include "commands.h"

#include "base/device_folder.h"
#include "base/utf.h"
#include "cellcore/card_driver_config.h"
#include "cellcore/service_card.h"
#include "registry/key_path.h"
#include "registry/registry_editor.h"

namespace handsetctl {

namespace {

using handset::CardDriverConfig;
using handset::RegistryValue;

constexpr long long lowest_baud = 300;
constexpr long long highest_baud = 4000000;

const char16_t* driver_name(CardDriverConfig::Kind kind) {
    switch (kind) {
    case CardDriverConfig::Kind::emulated:
        return u"emulated";
    case CardDriverConfig::Kind::modem:
        return u"modem";
    case CardDriverConfig::Kind::reader:
        return u"reader";
    }
    return u"emulated";
}

CardDriverConfig reader_driver(const std::string& reader) {
    if (reader.empty()) {
        throw UsageError("--reader needs the reader's name, or auto for the first with a card");
    }
    CardDriverConfig config;
    config.kind = CardDriverConfig::Kind::reader;
    config.reader = reader;
    return config;
}

void save_driver(const CardDriverConfig& config) {
    const std::filesystem::path file = handset::device_folder() / "registry.reg";
    const handset::RegistryEdit edit =
        handset::edit_registry_file(file, [&](handset::RegistryTree& tree) {
            handset::RegistryKey& key =
                tree.root(handset::RegistryRoot::local_machine)
                    .descendant_or_add(*handset::split_key_path(handset::card_driver_key));
            key.set_value(u"Driver", RegistryValue::string(driver_name(config.kind)));
            key.set_value(u"Port", RegistryValue::string(handset::utf8_to_utf16(config.port)));
            key.set_value(u"Baud", RegistryValue::dword(static_cast<DWORD>(config.baud)));
            key.set_value(u"Reader", RegistryValue::string(handset::utf8_to_utf16(config.reader)));
            return true;
        });
    if (edit.status != handset::RegistryEdit::Status::changed) {
        throw OperationError("cannot write the registry: " + edit.error);
    }
}

} // namespace

std::optional<CardDriverConfig> driver_option(Arguments& words) {
    const std::optional<std::string> port = words.option("--modem");
    const std::optional<std::string> baud = words.option("--baud");
    const std::optional<std::string> reader = words.option("--reader");
    if (reader) {
        if (port || baud) {
            throw UsageError("--reader does not go with --modem or --baud");
        }
        return reader_driver(*reader);
    }
    if (!port) {
        if (baud) {
            throw UsageError("--baud goes with --modem");
        }
        return std::nullopt;
    }
    if (port->empty()) {
        throw UsageError("--modem needs the modem's serial device, such as /dev/ttyUSB2");
    }
    CardDriverConfig config;
    config.kind = CardDriverConfig::Kind::modem;
    config.port = *port;
    if (baud) {
        config.baud = static_cast<int>(parse_integer(*baud, "--baud", lowest_baud, highest_baud));
    }
    return config;
}

void use_card_driver(const CardDriverConfig& config, std::ostream& out) {
    save_driver(config);
    // A running service keeps the line it opened; the next program starts one with the new choice.
    handset::stop_card_service(handset::device_folder());
    out << "card driver: " << handset::describe(config) << "\n";
}

void driver_command(Arguments& words, std::ostream& out) {
    const std::optional<std::string> choice = words.optional_word();
    if (!choice || *choice == "show") {
        words.finish();
        out << "card driver: " << handset::describe(handset::read_card_driver_config()) << "\n";
        return;
    }
    if (*choice == "stop") {
        words.finish();
        out << (handset::stop_card_service(handset::device_folder())
                    ? "card service: stopped\n"
                    : "card service: not running\n");
        return;
    }
    if (*choice == "emulated") {
        words.finish();
        use_card_driver({}, out);
        return;
    }
    if (*choice == "modem") {
        std::vector<std::string> modem_words{"--modem", words.word("the modem's serial device")};
        if (std::optional<std::string> baud = words.option("--baud")) {
            modem_words.insert(modem_words.end(), {"--baud", *baud});
        }
        words.finish();
        Arguments modem(std::move(modem_words));
        use_card_driver(*driver_option(modem), out);
        return;
    }
    if (*choice == "reader") {
        const std::string reader = words.word("the reader's name, or auto");
        words.finish();
        use_card_driver(reader_driver(reader), out);
        return;
    }
    throw UsageError(
        "driver takes show, emulated, modem PORT [--baud N], reader NAME|auto or stop, "
        "not '" +
        *choice + "'");
}

} // namespace handsetctl
