#include "base/wide_text.h"

#include <winbase.h>

#include <cstring>

namespace handset {

namespace {

bool in(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last;
}

// Latin Extended-A pairs capital and small letters as even and odd code points, except in the
// runs U+0139..U+0148 and U+0179..U+017E, where the capital is odd.
char16_t fold_latin_extended_a(char16_t c) {
    if (in(c, 0x0139, 0x0148) || in(c, 0x0179, 0x017E)) {
        return (c & 1) ? c : static_cast<char16_t>(c - 1);
    }
    if (c == 0x0131 || c == 0x0138 || c == 0x0149 || c == 0x017F) {
        return c; // dotless i, kra, apostrophe n and long s have no simple capital here
    }
    return (c & 1) ? static_cast<char16_t>(c - 1) : c;
}

char16_t fold_greek(char16_t c) {
    if (c == 0x03C2) {
        return 0x03A3; // final sigma
    }
    if (in(c, 0x03B1, 0x03CB)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == 0x03AC) {
        return 0x0386;
    }
    if (in(c, 0x03AD, 0x03AF)) {
        return static_cast<char16_t>(c - 0x25);
    }
    if (c == 0x03CC) {
        return 0x038C;
    }
    if (in(c, 0x03CD, 0x03CE)) {
        return static_cast<char16_t>(c - 0x3F);
    }
    return c;
}

int compare_folded(char16_t a, char16_t b) {
    const char16_t fa = fold_case(a);
    const char16_t fb = fold_case(b);
    return fa < fb ? -1 : (fa > fb ? 1 : 0);
}

} // namespace

char16_t fold_case(char16_t c) {
    if (in(c, u'a', u'z')) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c < 0x00E0) {
        return c;
    }
    if (in(c, 0x00E0, 0x00FE) && c != 0x00F7) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c == 0x00FF) {
        return 0x0178;
    }
    if (in(c, 0x0100, 0x017F)) {
        return fold_latin_extended_a(c);
    }
    if (in(c, 0x0370, 0x03FF)) {
        return fold_greek(c);
    }
    if (in(c, 0x0430, 0x044F)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (in(c, 0x0450, 0x045F)) {
        return static_cast<char16_t>(c - 0x50);
    }
    if (in(c, 0xFF41, 0xFF5A)) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

std::u16string fold_text(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) {
        c = fold_case(c);
    }
    return folded;
}

int compare_ignoring_case(std::u16string_view a, std::u16string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        if (const int order = compare_folded(a[i], b[i])) {
            return order;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace handset

namespace {

// The device's lstr functions treat a missing string as empty rather than faulting.
std::u16string_view view_of(LPCWSTR text) {
    return text ? std::u16string_view(text) : std::u16string_view();
}

int sign_of(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// A missing string sorts before every string, the empty one included.
int compare_missing(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr && b == nullptr) {
        return 0;
    }
    return a == nullptr ? -1 : 1;
}

} // namespace

int lstrlenW(LPCWSTR text) {
    return static_cast<int>(view_of(text).size());
}

LPWSTR lstrcpyW(LPWSTR destination, LPCWSTR source) {
    if (destination == nullptr || source == nullptr) {
        return nullptr;
    }
    return wcscpy(destination, source);
}

LPWSTR lstrcpynW(LPWSTR destination, LPCWSTR source, int max_length) {
    if (destination == nullptr || source == nullptr) {
        return nullptr;
    }
    if (max_length <= 0) {
        return destination;
    }
    int copied = 0;
    for (; copied < max_length - 1 && source[copied] != 0; ++copied) {
        destination[copied] = source[copied];
    }
    destination[copied] = 0;
    return destination;
}

LPWSTR lstrcatW(LPWSTR destination, LPCWSTR source) {
    if (destination == nullptr || source == nullptr) {
        return nullptr;
    }
    return wcscat(destination, source);
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr || b == nullptr) {
        return compare_missing(a, b);
    }
    return sign_of(std::u16string_view(a).compare(b));
}

int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr || b == nullptr) {
        return compare_missing(a, b);
    }
    return handset::compare_ignoring_case(a, b);
}

size_t wcslen(const WCHAR* text) {
    return std::char_traits<char16_t>::length(text);
}

WCHAR* wcscpy(WCHAR* destination, const WCHAR* source) {
    const size_t length = wcslen(source);
    std::memmove(destination, source, (length + 1) * sizeof(WCHAR));
    return destination;
}

WCHAR* wcsncpy(WCHAR* destination, const WCHAR* source, size_t count) {
    size_t i = 0;
    for (; i < count && source[i] != 0; ++i) {
        destination[i] = source[i];
    }
    for (; i < count; ++i) {
        destination[i] = 0;
    }
    return destination;
}

WCHAR* wcscat(WCHAR* destination, const WCHAR* source) {
    wcscpy(destination + wcslen(destination), source);
    return destination;
}

int wcscmp(const WCHAR* a, const WCHAR* b) {
    return sign_of(std::u16string_view(a).compare(std::u16string_view(b)));
}

int _wcsicmp(const WCHAR* a, const WCHAR* b) {
    return handset::compare_ignoring_case(a, b);
}

int handset::hex_digit_value(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}
