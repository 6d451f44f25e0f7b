// What a new device folder is made of: the card's kind, the screen, the interface language and
// whether it starts with sample data.
#pragma once

#include <windef.h>

namespace handset {

// A plain card keeps names and numbers only; a USIM card also keeps a second number and an
// e-mail address for each entry.
enum class CardKind { plain, usim };

enum class DeviceScreen { qvga, vga };

struct DeviceOptions {
    CardKind card = CardKind::plain;
    DeviceScreen screen = DeviceScreen::qvga;
    // The desktop's (language_of_environment) when handsetctl or a program's first run makes the
    // device without being told.
    WORD language = 0x0409;
    // No phonebook entries and no contacts.
    bool empty = false;
};

} // namespace handset
