// The counted string functions. Unlike the lstr functions they never write past the count they
// are given, and report a cut with STRSAFE_E_INSUFFICIENT_BUFFER while leaving the cut text
// terminated.
#include "base/wide_format.h"

#include <strsafe.h>

namespace {

bool count_is_valid(size_t count) {
    return count > 0 && count <= STRSAFE_MAX_CCH;
}

// Copies up to limit characters of source (stopping at its terminator) into destination, which
// has room for count characters with the terminator.
HRESULT copy_bounded(LPWSTR destination, size_t count, LPCWSTR source, size_t limit) {
    size_t copied = 0;
    if (source != nullptr) {
        while (copied < limit && source[copied] != 0 && copied + 1 < count) {
            destination[copied] = source[copied];
            ++copied;
        }
    }
    destination[copied] = 0;
    const bool cut = source != nullptr && copied < limit && source[copied] != 0;
    return cut ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

} // namespace

HRESULT StringCchCopyW(LPWSTR destination, size_t count, LPCWSTR source) {
    return StringCchCopyNW(destination, count, source, STRSAFE_MAX_CCH);
}

HRESULT StringCchCopyNW(LPWSTR destination, size_t count, LPCWSTR source, size_t limit) {
    if (destination == nullptr || !count_is_valid(count) || limit > STRSAFE_MAX_CCH) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    return copy_bounded(destination, count, source, limit);
}

HRESULT StringCchCatW(LPWSTR destination, size_t count, LPCWSTR source) {
    size_t length = 0;
    const HRESULT measured = StringCchLengthW(destination, count, &length);
    if (FAILED(measured)) {
        return measured;
    }
    return copy_bounded(destination + length, count - length, source, STRSAFE_MAX_CCH);
}

HRESULT StringCchLengthW(LPCWSTR text, size_t max_count, size_t* length) {
    size_t measured = 0;
    if (text != nullptr && max_count <= STRSAFE_MAX_CCH) {
        while (measured < max_count && text[measured] != 0) {
            ++measured;
        }
    }
    const bool terminated = text != nullptr && max_count <= STRSAFE_MAX_CCH && measured < max_count;
    if (length) {
        *length = terminated ? measured : 0;
    }
    return terminated ? S_OK : STRSAFE_E_INVALID_PARAMETER;
}

HRESULT StringCchVPrintfW(LPWSTR destination, size_t count, LPCWSTR format, va_list arguments) {
    if (destination == nullptr || !count_is_valid(count)) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    const auto result = handset::format_wide(destination, count, format, arguments);
    return result.truncated ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

HRESULT StringCchPrintfW(LPWSTR destination, size_t count, LPCWSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const HRESULT result = StringCchVPrintfW(destination, count, format, arguments);
    va_end(arguments);
    return result;
}
