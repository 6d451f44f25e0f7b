#include "base/wide_format.h"

#include "base/debug_output.h"
#include "base/utf.h"

#include <winbase.h>

#include <cstdint>
#include <string_view>

namespace handset {

namespace {

// Collects formatted text up to a limit and remembers whether anything was cut, so padding and
// text never grow past what the caller can keep.
class BoundedText {
  public:
    explicit BoundedText(size_t limit) : m_limit(limit) {}

    void append(std::u16string_view text) {
        const size_t room = m_limit - m_text.size();
        if (text.size() > room) {
            m_truncated = true;
            text = text.substr(0, room);
        }
        m_text.append(text);
    }

    void repeat(char16_t c, size_t count) {
        const size_t room = m_limit - m_text.size();
        if (count > room) {
            m_truncated = true;
            count = room;
        }
        m_text.append(count, c);
    }

    bool truncated() const { return m_truncated; }
    std::u16string& text() { return m_text; }

  private:
    size_t m_limit;
    std::u16string m_text;
    bool m_truncated = false;
};

enum class Size { normal, half, wide, sixty_four };

struct Conversion {
    bool left_align = false;
    bool zero_pad = false;
    bool alternate = false;
    size_t width = 0;
    bool has_precision = false;
    size_t precision = 0;
    Size size = Size::normal;
    char16_t type = 0;
};

// Widths beyond this are cut: no caller pads by more, and a damaged format must not ask for
// gigabytes of spaces.
constexpr size_t max_field = 65536;

size_t parse_number(const char16_t*& p) {
    size_t value = 0;
    while (*p >= u'0' && *p <= u'9') {
        value = value * 10 + static_cast<size_t>(*p - u'0');
        if (value > max_field) {
            value = max_field;
        }
        ++p;
    }
    return value;
}

void parse_flags(const char16_t*& p, Conversion& conversion) {
    for (;; ++p) {
        if (*p == u'-') {
            conversion.left_align = true;
        } else if (*p == u'0') {
            conversion.zero_pad = true;
        } else if (*p == u'#') {
            conversion.alternate = true;
        } else {
            return;
        }
    }
}

void parse_size(const char16_t*& p, Conversion& conversion) {
    if (*p == u'h') {
        conversion.size = Size::half;
        ++p;
    } else if (*p == u'l') {
        conversion.size = Size::wide;
        ++p;
    } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        conversion.size = Size::sixty_four;
        p += 3;
    }
}

// Reads the conversion after its '%'; p is left after the type character (or on the
// terminator when the format ends inside the conversion).
Conversion parse_conversion(const char16_t*& p) {
    Conversion conversion;
    parse_flags(p, conversion);
    conversion.width = parse_number(p);
    if (*p == u'.') {
        ++p;
        conversion.has_precision = true;
        conversion.precision = parse_number(p);
    }
    parse_size(p, conversion);
    conversion.type = *p;
    if (*p != 0) {
        ++p;
    }
    return conversion;
}

void emit_field(BoundedText& out, const Conversion& conversion, std::u16string_view prefix,
                size_t zero_fill, std::u16string_view body) {
    const size_t length = prefix.size() + zero_fill + body.size();
    const size_t padding = conversion.width > length ? conversion.width - length : 0;
    if (!conversion.left_align) {
        out.repeat(u' ', padding);
    }
    out.append(prefix);
    out.repeat(u'0', zero_fill);
    out.append(body);
    if (conversion.left_align) {
        out.repeat(u' ', padding);
    }
}

std::u16string digits_of(uint64_t value, unsigned base, bool upper_case) {
    const char16_t* digits = upper_case ? u"0123456789ABCDEF" : u"0123456789abcdef";
    std::u16string text;
    do {
        text.insert(text.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    return text;
}

void emit_integer(BoundedText& out, const Conversion& conversion, bool negative,
                  uint64_t magnitude) {
    const bool hex = conversion.type == u'x' || conversion.type == u'X';
    std::u16string body = digits_of(magnitude, hex ? 16 : 10, conversion.type == u'X');
    if (conversion.has_precision && conversion.precision == 0 && magnitude == 0) {
        body.clear();
    }
    std::u16string prefix = negative ? u"-" : u"";
    if (hex && conversion.alternate && magnitude != 0) {
        prefix = conversion.type == u'X' ? u"0X" : u"0x";
    }
    size_t zero_fill = 0;
    if (conversion.has_precision && conversion.precision > body.size()) {
        zero_fill = conversion.precision - body.size();
    } else if (conversion.zero_pad && !conversion.left_align && !conversion.has_precision) {
        const size_t length = prefix.size() + body.size();
        zero_fill = conversion.width > length ? conversion.width - length : 0;
    }
    emit_field(out, conversion, prefix, zero_fill, body);
}

void emit_signed(BoundedText& out, const Conversion& conversion, va_list& arguments) {
    int64_t value;
    if (conversion.size == Size::sixty_four) {
        value = va_arg(arguments, int64_t);
    } else if (conversion.size == Size::half) {
        value = static_cast<int16_t>(va_arg(arguments, int));
    } else {
        value = va_arg(arguments, int32_t);
    }
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
    emit_integer(out, conversion, value < 0, magnitude);
}

void emit_unsigned(BoundedText& out, const Conversion& conversion, va_list& arguments) {
    uint64_t value;
    if (conversion.size == Size::sixty_four) {
        value = va_arg(arguments, uint64_t);
    } else if (conversion.size == Size::half) {
        value = static_cast<uint16_t>(va_arg(arguments, unsigned));
    } else {
        value = va_arg(arguments, uint32_t);
    }
    emit_integer(out, conversion, false, value);
}

// Strings and characters pad with zeros too when asked, as wsprintfW does.
void emit_text(BoundedText& out, const Conversion& conversion, std::u16string_view text) {
    if (conversion.has_precision && conversion.precision < text.size()) {
        text = text.substr(0, conversion.precision);
    }
    const size_t zero_fill =
        conversion.zero_pad && !conversion.left_align && conversion.width > text.size()
            ? conversion.width - text.size()
            : 0;
    emit_field(out, conversion, u"", zero_fill, text);
}

void emit_string(BoundedText& out, const Conversion& conversion, bool narrow, va_list& arguments) {
    if (narrow) {
        const char* text = va_arg(arguments, const char*);
        emit_text(out, conversion, text ? utf8_to_utf16(text) : u"(null)");
        return;
    }
    const char16_t* text = va_arg(arguments, const char16_t*);
    emit_text(out, conversion, text ? std::u16string_view(text) : u"(null)");
}

void emit_character(BoundedText& out, const Conversion& conversion, bool narrow,
                    va_list& arguments) {
    const int value = va_arg(arguments, int);
    const char16_t c = narrow ? static_cast<unsigned char>(value) : static_cast<char16_t>(value);
    emit_text(out, conversion, std::u16string_view(&c, 1));
}

void emit_conversion(BoundedText& out, const Conversion& conversion, va_list& arguments) {
    switch (conversion.type) {
    case u'd':
    case u'i':
        return emit_signed(out, conversion, arguments);
    case u'u':
    case u'x':
    case u'X':
        return emit_unsigned(out, conversion, arguments);
    case u's':
    case u'S':
        return emit_string(out, conversion,
                           conversion.type == u'S' || conversion.size == Size::half, arguments);
    case u'c':
    case u'C':
        return emit_character(out, conversion,
                              conversion.type == u'C' || conversion.size == Size::half, arguments);
    case 0:
        return;
    default:
        out.append(std::u16string_view(&conversion.type, 1));
    }
}

void format_into(BoundedText& out, const char16_t* format, va_list arguments) {
    if (format == nullptr) {
        return;
    }
    va_list remaining;
    va_copy(remaining, arguments);
    for (const char16_t* p = format; *p != 0;) {
        const char16_t* literal_end = p;
        while (*literal_end != 0 && *literal_end != u'%') {
            ++literal_end;
        }
        out.append(std::u16string_view(p, static_cast<size_t>(literal_end - p)));
        p = literal_end;
        if (*p == u'%') {
            ++p;
            emit_conversion(out, parse_conversion(p), remaining);
        }
    }
    va_end(remaining);
}

} // namespace

FormattedSize format_wide(char16_t* out, size_t capacity, const char16_t* format,
                          va_list arguments) {
    if (out == nullptr || capacity == 0) {
        return {0, true};
    }
    BoundedText text(capacity - 1);
    format_into(text, format, arguments);
    const std::u16string& result = text.text();
    result.copy(out, result.size());
    out[result.size()] = 0;
    return {result.size(), text.truncated()};
}

std::u16string format_wide_string(size_t limit, const char16_t* format, va_list arguments) {
    BoundedText text(limit);
    format_into(text, format, arguments);
    return std::move(text.text());
}

} // namespace handset

namespace {

// wsprintfW never writes more than this many characters, its terminator included.
constexpr size_t wsprintf_limit = 1024;

// A debug line longer than this is cut; it is far beyond anything a program traces.
constexpr size_t debug_print_limit = 16384;

} // namespace

int wvsprintfW(LPWSTR out, LPCWSTR format, va_list arguments) {
    return static_cast<int>(handset::format_wide(out, wsprintf_limit, format, arguments).length);
}

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int length = wvsprintfW(out, format, arguments);
    va_end(arguments);
    return length;
}

void NKDbgPrintfW(LPCWSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::u16string text = handset::format_wide_string(debug_print_limit, format, arguments);
    va_end(arguments);
    handset::debug_line(handset::utf16_to_utf8(text));
}
