// Counted wide-string copies, appends and formatting that never write past the count they are
// given (characters, terminator included) and always terminate what they write.
#pragma once

#include <windef.h>

#include <cstdarg>
#include <cstddef>

#define STRSAFE_MAX_CCH 2147483647
#ifndef STRSAFE_E_INSUFFICIENT_BUFFER
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007A)
#endif
#ifndef STRSAFE_E_INVALID_PARAMETER
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057)
#endif

HRESULT StringCchCopyW(LPWSTR destination, size_t count, LPCWSTR source);
HRESULT StringCchCopyNW(LPWSTR destination, size_t count, LPCWSTR source, size_t max_copy);
HRESULT StringCchCatW(LPWSTR destination, size_t count, LPCWSTR source);
HRESULT StringCchLengthW(LPCWSTR text, size_t max_count, size_t* length);
// The format is that of wsprintfW.
HRESULT StringCchPrintfW(LPWSTR destination, size_t count, LPCWSTR format, ...);
HRESULT StringCchVPrintfW(LPWSTR destination, size_t count, LPCWSTR format, va_list arguments);

#define StringCchCopy StringCchCopyW
#define StringCchCopyN StringCchCopyNW
#define StringCchCat StringCchCatW
#define StringCchLength StringCchLengthW
#define StringCchPrintf StringCchPrintfW
#define StringCchVPrintf StringCchVPrintfW
