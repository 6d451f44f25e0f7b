#include "value_decoding.h"

#include "ascii_text.h"

#include "base/wide_text.h"

#include <iconv.h>

#include <cerrno>

namespace vcard {

namespace {

// Closes the conversion however the function leaves.
class Converter {
  public:
    explicit Converter(const std::string& from) : m_handle(iconv_open("UTF-8", from.c_str())) {}
    ~Converter() {
        if (valid()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(std::string_view text) {
        std::string result;
        char buffer[1024];
        char* in = const_cast<char*>(text.data());
        size_t in_left = text.size();
        while (in_left > 0) {
            char* out = buffer;
            size_t out_left = sizeof buffer;
            const size_t done = iconv(m_handle, &in, &in_left, &out, &out_left);
            result.append(buffer, static_cast<size_t>(out - buffer));
            if (done == static_cast<size_t>(-1) && errno != E2BIG) {
                return std::nullopt;
            }
        }
        return result;
    }

  private:
    iconv_t m_handle;
};

} // namespace

std::string decode_quoted_printable(std::string_view encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        const bool pair_follows = encoded[i] == '=' && i + 2 < encoded.size();
        const int high = pair_follows
                             ? handset::hex_digit_value(static_cast<unsigned char>(encoded[i + 1]))
                             : -1;
        const int low = pair_follows
                            ? handset::hex_digit_value(static_cast<unsigned char>(encoded[i + 2]))
                            : -1;
        if (high >= 0 && low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += encoded[i];
        }
    }
    return decoded;
}

std::optional<std::string> to_utf8(std::string_view text, std::string_view charset) {
    const std::string name = upper_case(trimmed(charset));
    // glibc would take "//TRANSLIT" and the like as options of the conversion.
    if (name.empty() || name.find('/') != std::string::npos) {
        return std::nullopt;
    }
    Converter converter(name);
    if (!converter.valid()) {
        return std::nullopt;
    }
    return converter.convert(text);
}

} // namespace vcard
