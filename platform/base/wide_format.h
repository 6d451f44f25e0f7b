// The formatter behind wsprintfW, wvsprintfW, StringCchPrintfW and NKDbgPrintfW, following
// wsprintfW: %[-][#][0][width][.precision][h|l|I64]type with the types
//   s  wide string (hs or S: a narrow UTF-8 string; a null pointer shows as "(null)")
//   c  wide character (hc or C: a narrow one)
//   d i u x X  32-bit integers ("l" is 32 bits too, as on the device; "h" 16 bits, "I64" 64)
//   %  a percent sign
// A conversion it does not know comes out as its type character, without consuming an argument.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace handset {

struct FormattedSize {
    size_t length;  // characters written, the terminator not counted
    bool truncated; // the whole text with its terminator did not fit
};

// Writes at most capacity characters, the terminator included, and always terminates unless
// capacity is 0 (then nothing is written).
FormattedSize format_wide(char16_t* out, size_t capacity, const char16_t* format,
                          va_list arguments);

// The whole text, cut after limit characters.
std::u16string format_wide_string(size_t limit, const char16_t* format, va_list arguments);

} // namespace handset
