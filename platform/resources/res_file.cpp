#include "resources/res_file.h"

#include "base/debug_output.h"
#include "resources/byte_reader.h"

#include <string>

namespace handset {

namespace {

// Data size, header size, the shortest type and name (an ordinal each), then data version,
// memory flags, language, version and characteristics.
constexpr DWORD kSmallestHeader = 4 + 4 + 4 + 4 + 4 + 2 + 2 + 4 + 4;
constexpr size_t kEntryAlignment = 4;

struct EntryHeader {
    DWORD data_size = 0;
    DWORD header_size = 0;
    ResEntry entry;
};

// One entry header. Type and name are read inside the header's own bytes, so a name that runs on
// is caught at the header's end rather than somewhere in the data.
EntryHeader read_entry_header(ByteReader& reader) {
    size_t start = reader.offset();
    EntryHeader header;
    header.data_size = reader.u32("entry data size");
    header.header_size = reader.u32("entry header size");
    if (header.header_size < kSmallestHeader) {
        throw ParseError(parse_error_text("entry at offset %zu has a header size of %u bytes, "
                                          "less than the smallest header of %u",
                                          start, header.header_size, kSmallestHeader));
    }
    reader.seek(start, "entry header");
    ByteReader fields(reader.bytes(header.header_size, "entry header"));
    fields.seek(8, "entry type");
    header.entry.type = fields.name_or_ordinal("entry type");
    header.entry.name = fields.name_or_ordinal("entry name");
    fields.align(kEntryAlignment);
    fields.u32("entry data version");
    fields.u16("entry memory flags");
    header.entry.language = fields.u16("entry language");
    fields.u32("entry version");
    fields.u32("entry characteristics");
    return header;
}

// Any other start, including one too short or too odd to read as a header, is some other kind of
// file, and is reported as such rather than by the field it broke.
bool starts_with_format_marker(ByteReader& reader) {
    try {
        EntryHeader header = read_entry_header(reader);
        const ResourceName zero = ResourceName::from_ordinal(0);
        return header.data_size == 0 && header.header_size == kSmallestHeader &&
               header.entry.type == zero && header.entry.name == zero;
    } catch (const ParseError&) {
        return false;
    }
}

ResEntry read_entry(ByteReader& reader) {
    size_t start = reader.offset();
    EntryHeader header = read_entry_header(reader);
    try {
        header.entry.data = reader.bytes(header.data_size, "entry data");
    } catch (const ParseError&) {
        throw ParseError(parse_error_text("entry at offset %zu declares %u bytes of data, but the "
                                          "file ends %zu bytes after its header",
                                          start, header.data_size, reader.remaining()));
    }
    reader.align(kEntryAlignment);
    return header.entry;
}

std::vector<ResEntry> read_entries(ByteReader& reader) {
    if (reader.size() == 0) {
        throw ParseError("the file is empty");
    }
    if (!starts_with_format_marker(reader)) {
        throw ParseError("it does not start with the empty entry of a 32-bit resource file");
    }
    std::vector<ResEntry> entries;
    while (reader.remaining() > 0) {
        entries.push_back(read_entry(reader));
    }
    return entries;
}

} // namespace

std::optional<std::vector<ResEntry>> parse_res_file(std::span<const BYTE> image,
                                                    std::string_view origin) {
    ByteReader reader(image);
    try {
        return read_entries(reader);
    } catch (const ParseError& error) {
        debug_printf("Resource file %.*s is damaged: %s", static_cast<int>(origin.size()),
                     origin.data(), error.what());
        return std::nullopt;
    }
}

} // namespace handset
