// Why the card refused or failed an operation. The message names the file or the field concerned,
// ready for a debug line or for handsetctl to print.
#pragma once

#include <stdexcept>
#include <string>

namespace handset {

enum class CardFault {
    missing,         // no card file
    damaged,         // the file is not a card, or its contents are broken
    busy,            // another process held the card for longer than the busy timeout
    read_only,       // a change to a card on storage this process may only read
    bad_profile,     // a profile the card cannot take, or one its records do not fit
    bad_slot,        // an index outside 1 to the number of slots
    card_full,       // no free slot for a new entry
    name_too_long,   // the name (or e-mail) does not fit its field
    bad_character,   // a character no card can store in a name or e-mail (U+FFFF, its padding)
    number_too_long, // more digits than the card keeps
    bad_number,      // a character that is not a digit, '*', '#' or 'p'
    empty_entry,     // neither name nor number
    field_not_held,  // an additional number or e-mail on a card without that field
    bad_import,      // a line of an EF_ADN import that cannot be taken
    bad_record,      // bytes written as a record that are not one of this card's records
};

class CardError : public std::runtime_error {
  public:
    CardError(CardFault fault, const std::string& message)
        : std::runtime_error(message), m_fault(fault) {}

    CardFault fault() const { return m_fault; }

  private:
    CardFault m_fault;
};

} // namespace handset
