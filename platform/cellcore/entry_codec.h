// A phonebook entry in the form the card stores it, for a card of a given profile: the EF_ADN
// record, and for extended entries the additional number's block and the e-mail's field.
#pragma once

#include "cellcore/card_types.h"

#include <optional>

namespace handset {

struct EncodedEntry {
    Bytes record;
    std::optional<Bytes> additional_number;
    std::optional<Bytes> email;
};

// Throws CardError (name_too_long, number_too_long, bad_number, empty_entry, field_not_held):
// what the card cannot hold is refused, never shortened.
EncodedEntry encode_entry(const PhonebookEntry& entry, const CardProfile& profile);

// Nothing when the stored bytes are damaged.
std::optional<PhonebookEntry> decode_entry(const EncodedEntry& encoded);

} // namespace handset
