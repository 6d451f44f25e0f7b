// A bounded reader over the packed little-endian records of resource files and templates. Every
// read checks the bytes it needs first and throws ParseError, naming the field and the offset,
// when the data ends too soon; so a parser written against it cannot read past its input.
#pragma once

#include "resources/resource_name.h"

#include <windef.h>

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace handset {

class ParseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Formats a ParseError message, printf style.
std::string parse_error_text(const char* format, ...) __attribute__((format(printf, 1, 2)));

class ByteReader {
  public:
    explicit ByteReader(std::span<const BYTE> data) : m_data(data) {}

    size_t offset() const { return m_offset; }
    size_t size() const { return m_data.size(); }
    size_t remaining() const { return m_data.size() - m_offset; }

    BYTE u8(const char* what);
    WORD u16(const char* what);
    DWORD u32(const char* what);
    short i16(const char* what) { return static_cast<short>(u16(what)); }
    std::span<const BYTE> bytes(size_t count, const char* what);

    // A NUL-terminated UTF-16 string; the terminator is consumed, not returned.
    std::u16string string(const char* what);
    // The packed name of templates and resource headers: 0x0000 for none, 0xFFFF followed by an
    // ordinal, or a NUL-terminated string.
    ResourceName name_or_ordinal(const char* what);

    // Moves to the next multiple of `boundary` counted from the start of the data. Padding that
    // the data lacks at its very end is not an error; the next read past the end is.
    void align(size_t boundary);
    void seek(size_t offset, const char* what);

  private:
    void require(size_t count, const char* what) const;

    std::span<const BYTE> m_data;
    size_t m_offset = 0;
};

// Writes the debug line of a damaged record: "<what> of <size> bytes is damaged: <reason>".
void report_damage(const char* what, size_t size, const char* reason);

// Reads a whole record with `read`, which throws ParseError on damage; the damage is reported
// and gives nullopt.
template <typename Read>
auto read_record(std::span<const BYTE> data, const char* what, Read read)
    -> std::optional<std::invoke_result_t<Read, ByteReader&>> {
    ByteReader reader(data);
    try {
        return read(reader);
    } catch (const ParseError& error) {
        report_damage(what, data.size(), error.what());
        return std::nullopt;
    }
}

} // namespace handset
