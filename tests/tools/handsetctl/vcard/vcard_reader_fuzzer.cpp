// Any bytes read as a file of vCards: the reader must neither crash nor read out of bounds, and
// every value it gives must be UTF-8 however the file named its character set.
#include "vcard_reader.h"

#include "base/utf.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vcard::VcardFile file =
        vcard::VcardReader::read(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const vcard::VcardCard& card : file.cards) {
        for (const vcard::VcardProperty& property : card.properties) {
            const bool binary = !property.parameter("ENCODING").empty() &&
                                property.parameter("ENCODING").front() != "QUOTED-PRINTABLE";
            if (!binary && !handset::is_valid_utf8(property.text())) {
                std::abort();
            }
            property.components();
            property.preference();
        }
    }
    return 0;
}
