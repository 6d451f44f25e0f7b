// Feeds arbitrary lines to the AT reply parser. It must never read past its input, and what it
// reads stays within it: no text longer than the line, no deeper lists than it allows.
#include "cellcore/at_reply.h"

#include <cstdlib>

namespace {

void check(const handset::AtValue& value, size_t size, int depth) {
    if (value.text.size() > size || depth > 5) {
        std::abort();
    }
    for (const handset::AtValue& item : value.items) {
        check(item, size, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::string_view body =
        handset::response_body(line, handset::response_name(line)).value_or(line);
    if (auto values = handset::parse_values(body)) {
        for (const handset::AtValue& value : *values) {
            check(value, size, 0);
            handset::index_bounds(value);
        }
    }
    return 0;
}
