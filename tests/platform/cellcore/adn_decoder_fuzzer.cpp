// Feeds arbitrary bytes to the EF_ADN decoder. Whatever it accepts must survive being written
// back for a card of the same size and read again unchanged.
#include "cellcore/adn_record.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const handset::ByteView record(data, size);
    std::optional<handset::AdnRecord> decoded = handset::decode_adn(record);
    if (!decoded) {
        return 0;
    }
    const size_t name_bytes = size - handset::adn_trailer_size;
    auto encoded = handset::encode_adn(*decoded, name_bytes, handset::DiallingNumber::max_digits);
    if (!encoded) {
        // Compressed UCS2 forms can hold names that the plain forms need more room for, and a
        // read name may hold U+FFFF; neither may then be written back.
        return 0;
    }
    std::optional<handset::AdnRecord> again = handset::decode_adn(*encoded);
    if (!again || !(*again == *decoded)) {
        std::abort();
    }
    return 0;
}
