#include "resources/byte_reader.h"

#include "base/debug_output.h"

#include <cstdarg>
#include <cstdio>

namespace handset {

namespace {

constexpr WORD kOrdinalMarker = 0xFFFF;

} // namespace

std::string parse_error_text(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void report_damage(const char* what, size_t size, const char* reason) {
    debug_printf("%s of %zu bytes is damaged: %s", what, size, reason);
}

void ByteReader::require(size_t count, const char* what) const {
    if (count > remaining()) {
        throw ParseError(
            parse_error_text("%s needs %zu bytes at offset %zu, but the data ends at %zu", what,
                             count, m_offset, m_data.size()));
    }
}

BYTE ByteReader::u8(const char* what) {
    require(1, what);
    return m_data[m_offset++];
}

WORD ByteReader::u16(const char* what) {
    require(2, what);
    WORD value = static_cast<WORD>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
    m_offset += 2;
    return value;
}

DWORD ByteReader::u32(const char* what) {
    require(4, what);
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | m_data[m_offset + i];
    }
    m_offset += 4;
    return value;
}

std::span<const BYTE> ByteReader::bytes(size_t count, const char* what) {
    require(count, what);
    std::span<const BYTE> piece = m_data.subspan(m_offset, count);
    m_offset += count;
    return piece;
}

std::u16string ByteReader::string(const char* what) {
    size_t start = m_offset;
    std::u16string text;
    for (;;) {
        if (remaining() < 2) {
            throw ParseError(parse_error_text(
                "%s starting at offset %zu has no terminator before the data ends at %zu", what,
                start, m_data.size()));
        }
        char16_t unit = static_cast<char16_t>(u16(what));
        if (unit == 0) {
            return text;
        }
        text.push_back(unit);
    }
}

ResourceName ByteReader::name_or_ordinal(const char* what) {
    WORD first = u16(what);
    if (first == 0) {
        return {};
    }
    if (first == kOrdinalMarker) {
        return ResourceName::from_ordinal(u16(what));
    }
    m_offset -= 2;
    return ResourceName::from_text(string(what));
}

void ByteReader::align(size_t boundary) {
    size_t aligned = (m_offset + boundary - 1) / boundary * boundary;
    m_offset = aligned < m_data.size() ? aligned : m_data.size();
}

void ByteReader::seek(size_t offset, const char* what) {
    if (offset > m_data.size()) {
        throw ParseError(parse_error_text("%s at offset %zu lies past the end of the data at %zu",
                                          what, offset, m_data.size()));
    }
    m_offset = offset;
}

} // namespace handset
