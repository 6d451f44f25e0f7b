// One record of the SIM phonebook file EF_ADN (3GPP TS 51.011, §10.5.1): the alpha identifier in
// the first X bytes, then the 12-byte number block, the capability/configuration identifier and
// the extension record identifier, 0xFF when unused. A record is X + 14 bytes long.
#pragma once

#include "cellcore/dialling_number.h"
#include "cellcore/expected.h"

#include <optional>
#include <string>

namespace handset {

enum class AdnError { name_too_long, number_too_long, bad_number_character };

struct AdnRecord {
    std::u16string name;
    DiallingNumber number;

    bool empty() const { return name.empty() && number.empty(); }
    friend bool operator==(const AdnRecord&, const AdnRecord&) = default;
};

inline constexpr size_t adn_trailer_size = DiallingNumber::block_size + 2;

// The record for a card with name_bytes bytes of alpha identifier and room for max_digits
// digits. A name or number that does not fit is refused, never shortened.
Expected<Bytes, AdnError> encode_adn(const AdnRecord& record, size_t name_bytes, size_t max_digits);

// The contents of a record of any length from 14 bytes on, or nothing when it is damaged or its
// number goes on in an extension record, which this card does not keep.
std::optional<AdnRecord> decode_adn(ByteView record);

// Error values of the number codec in the record's terms.
AdnError adn_error(NumberError error);

} // namespace handset
