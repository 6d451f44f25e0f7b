// One record of EF_PBR, the USIM phonebook's table of contents (3GPP TS 31.102): which files hold
// one set of up to 254 entries and how each is linked to EF_ADN. Type 1 files have a record per
// ADN record, type 2 files are reached through EF_IAP, type 3 files through a record number
// inside another file's record (EF_EXT1).
#pragma once

#include "cellcore/bytes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace handset {

enum class PhonebookLink { type1, type2, type3 };

// The tags of the files the reader driver uses.
namespace pbr_tag {
inline constexpr uint8_t adn = 0xC0;
inline constexpr uint8_t iap = 0xC1;
inline constexpr uint8_t ext1 = 0xC2;
inline constexpr uint8_t anr = 0xC4;
inline constexpr uint8_t email = 0xCA;
} // namespace pbr_tag

struct PhonebookFile {
    uint8_t tag;
    uint16_t file_id;
    std::optional<uint8_t> short_id;
    PhonebookLink link;
};

struct PhonebookReference {
    std::vector<PhonebookFile> files;

    // The first file of that tag and link.
    std::optional<PhonebookFile> find(uint8_t tag, PhonebookLink link) const;
    // Which byte of an EF_IAP record points into the type 2 file of that tag: its position among
    // the type 2 files.
    std::optional<size_t> iap_position(uint8_t tag) const;
};

// Nothing when the record is not a sequence of A8/A9/AA templates of file objects. A record of
// padding alone is an empty reference.
std::optional<PhonebookReference> parse_phonebook_reference(ByteView record);

} // namespace handset
