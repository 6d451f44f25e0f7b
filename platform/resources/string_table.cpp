#include "resources/string_table.h"

#include "base/debug_output.h"
#include "resources/byte_reader.h"

namespace handset {

namespace {

// Steps over the strings before the wanted one; only the entries up to it need to be intact.
std::span<const BYTE> read_string(ByteReader& reader, UINT index) {
    for (UINT i = 0;; ++i) {
        WORD length = reader.u16("string length");
        std::span<const BYTE> text = reader.bytes(size_t{length} * 2, "string text");
        if (i == index) {
            return text;
        }
    }
}

} // namespace

std::optional<std::span<const BYTE>> string_in_block(std::span<const BYTE> block, UINT string_id) {
    ByteReader reader(block);
    try {
        return read_string(reader, string_id % kStringsPerBlock);
    } catch (const ParseError& error) {
        debug_printf("String table block %u is damaged at string %u: %s",
                     unsigned{string_block_id(string_id)}, string_id, error.what());
        return std::nullopt;
    }
}

} // namespace handset
