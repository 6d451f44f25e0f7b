// Which driver reaches the device's card, as the device's registry names it under
// HKEY_LOCAL_MACHINE\Handset\Card: "Driver" is "emulated" (the card in sim.db, also when nothing
// is set), "modem", with "Port" the modem's serial device and "Baud" its line speed, or "reader",
// with "Reader" the PC/SC reader's name or "auto" for the first reader that holds a card.
#pragma once

#include <string>

namespace handset {

inline constexpr char16_t card_driver_key[] = u"Handset\\Card";

struct CardDriverConfig {
    enum class Kind { emulated, modem, reader };
    static constexpr int default_baud = 115200;
    static constexpr const char* any_reader = "auto";

    Kind kind = Kind::emulated;
    std::string port;
    int baud = default_baud;
    std::string reader;

    friend bool operator==(const CardDriverConfig&, const CardDriverConfig&) = default;
};

// The device's choice. A setting that cannot be used (an unknown driver, a modem without a port)
// falls back to the emulated card with a debug line, so that a typo never takes the card away
// silently.
CardDriverConfig read_card_driver_config();

// "emulated", "modem /dev/ttyUSB2 at 115200 baud" or "reader \"Virtual PCD 00 00\"".
std::string describe(const CardDriverConfig& config);

} // namespace handset
