// The phonebook's lines in AT commands: the capabilities of AT+CPBR=?, the entries of
// AT+CPBR=a,b and the command of AT+CPBW. Pure functions, so each variant that modems answer can
// be checked without a modem.
//
// An entry reads "+CPBR: index,number,type,text[,hidden][,group][,adnumber][,adtype]
// [,secondtext][,email]..."; the fields after the text are there only on modems with the extended
// phonebook, and any of them may be empty.
#pragma once

#include "cellcore/card_types.h"
#include "cellcore/modem_charset.h"

#include <optional>
#include <string>
#include <string_view>

namespace handset {

// Where the modem's slots lie: the API's index 1 is the modem's first.
struct ModemPhonebook {
    int first_index = 1;
    CardProfile profile;
};

// The phonebook that "+CPBR: (1-250),40,14[,glength,slength,elength]" describes. Variants taken:
// indices without parentheses ("1-250"), ranges that do not start at 1 ("(501-750)"), lengths
// left out or empty. Lengths beyond what a card profile can say are reported as its maximum. A
// length the modem leaves out is not known; it is reported as the largest, and the modem itself
// refuses what it cannot store (+CME ERROR: 24 or 26).
//
// The extended form adds the group, second text and e-mail lengths. Modems without the extended
// phonebook answer zeros there, so only a non-zero one says that entries carry the additional
// fields: a second number (as long as the number) and, when its length is above 0, an e-mail.
std::optional<ModemPhonebook> parse_phonebook_capabilities(std::string_view line);

struct ModemEntry {
    int index; // the modem's
    PhonebookEntry entry;
};

// Nothing for a line that is not an entry.
std::optional<ModemEntry> parse_entry(std::string_view line, ModemCharset charset);

// The AT+CPBW command that stores entry at the modem's index (0: the first free slot); nothing
// when a field has a character the modem's set or a dial string cannot carry. `extended` sends
// the additional number and e-mail fields.
std::optional<std::string> write_command(int index, const PhonebookEntry& entry,
                                         ModemCharset charset, bool extended);

// A number people dial, checked so that nothing but dialling characters reaches a command line.
bool is_dial_string(std::u16string_view number);

} // namespace handset
