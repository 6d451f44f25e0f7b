// String tables: RT_STRING resources hold blocks of 16 strings, block id / 16 + 1 for string id
// (string ids are 16 bits; higher bits are ignored, as on the device).
// Each string is a WORD length followed by that many UTF-16 units, without a terminator; a length
// of 0 is a string the table does not have.
#pragma once

#include <windef.h>

#include <optional>
#include <span>

namespace handset {

constexpr UINT kStringsPerBlock = 16;

inline WORD string_block_id(UINT string_id) {
    return static_cast<WORD>((string_id & 0xFFFF) / kStringsPerBlock + 1);
}

// The bytes of string `string_id`'s text inside its block (2 per UTF-16 unit, empty when the
// table has no such string). A block whose lengths run past its end writes a debug line and
// gives nullopt.
std::optional<std::span<const BYTE>> string_in_block(std::span<const BYTE> block, UINT string_id);

} // namespace handset
