#include "cellcore/adn_record.h"

#include "cellcore/alpha_identifier.h"

namespace handset {

namespace {

constexpr uint8_t unused = 0xFF;

} // namespace

AdnError adn_error(NumberError error) {
    switch (error) {
    case NumberError::bad_character:
        return AdnError::bad_number_character;
    case NumberError::too_long:
        return AdnError::number_too_long;
    }
    return AdnError::bad_number_character;
}

Expected<Bytes, AdnError> encode_adn(const AdnRecord& record, size_t name_bytes,
                                     size_t max_digits) {
    std::optional<Bytes> alpha = encode_alpha(record.name, name_bytes);
    if (!alpha) {
        return unexpected(AdnError::name_too_long);
    }
    Expected<Bytes, NumberError> number = record.number.encode(max_digits);
    if (!number) {
        return unexpected(adn_error(number.error()));
    }
    Bytes bytes = std::move(*alpha);
    bytes += *number;
    bytes.push_back(unused); // capability/configuration identifier
    bytes.push_back(unused); // extension record identifier
    return bytes;
}

std::optional<AdnRecord> decode_adn(ByteView record) {
    if (record.size() < adn_trailer_size) {
        return std::nullopt;
    }
    const size_t name_bytes = record.size() - adn_trailer_size;
    if (record.back() != unused) {
        return std::nullopt;
    }
    std::optional<std::u16string> name = decode_alpha(record.substr(0, name_bytes));
    std::optional<DiallingNumber> number =
        DiallingNumber::decode(record.substr(name_bytes, DiallingNumber::block_size));
    if (!name || !number) {
        return std::nullopt;
    }
    return AdnRecord{std::move(*name), std::move(*number)};
}

} // namespace handset
