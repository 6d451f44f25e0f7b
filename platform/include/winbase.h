// Base services of the handset: debug output, threads, critical sections, time, last error, wide
// text and the user-interface language.
#pragma once

#include <windef.h>

#include <cstdarg>
#include <cstddef>

typedef WORD LANGID;

// Error codes used by the base services and the registry.
#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif
#ifndef ERROR_NO_SYSTEM_RESOURCES
#define ERROR_NO_SYSTEM_RESOURCES 1450L
#endif

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

// Debug output. A text that does not end in a line break is ended with one, so each call is its
// own line. NKDbgPrintfW formats as wsprintfW does.
void WINAPI OutputDebugStringW(LPCWSTR text);
#define OutputDebugString OutputDebugStringW
void NKDbgPrintfW(LPCWSTR format, ...);

// Kernel objects.
BOOL WINAPI CloseHandle(HANDLE object);

// Threads. A thread runs on when its handle is closed; the stack size is the system's.
struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stack_size,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creation_flags,
                           LPDWORD thread_id);
DWORD WINAPI GetCurrentThreadId();

// Critical sections: recursive, owned by the thread that entered them. The record only names the
// section; its contents are not used.
struct CRITICAL_SECTION {
    DWORD Reserved[5];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);

// Time.
#define INFINITE 0xFFFFFFFF
DWORD WINAPI GetTickCount();
void WINAPI Sleep(DWORD milliseconds);

// Wide text. A missing (null) string counts as empty for lstrlenW and sorts first in the
// comparisons, which answer -1, 0 or 1.
int WINAPI lstrlenW(LPCWSTR text);
LPWSTR WINAPI lstrcpyW(LPWSTR destination, LPCWSTR source);
// Copies at most max_length - 1 characters and always terminates (unless max_length is 0).
LPWSTR WINAPI lstrcpynW(LPWSTR destination, LPCWSTR source, int max_length);
LPWSTR WINAPI lstrcatW(LPWSTR destination, LPCWSTR source);
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);
#define lstrlen lstrlenW
#define lstrcpy lstrcpyW
#define lstrcpyn lstrcpynW
#define lstrcat lstrcatW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW

// The C library's wide-string functions for the device's 16-bit characters. wcsncpy keeps its C
// meaning: it pads with zeros and does not terminate a source of count characters or more.
size_t wcslen(const WCHAR* text);
WCHAR* wcscpy(WCHAR* destination, const WCHAR* source);
WCHAR* wcsncpy(WCHAR* destination, const WCHAR* source, size_t count);
WCHAR* wcscat(WCHAR* destination, const WCHAR* source);
int wcscmp(const WCHAR* a, const WCHAR* b);
int _wcsicmp(const WCHAR* a, const WCHAR* b);

// Formatting: %[-][#][0][width][.precision][h|l|I64] and s c d i u x X %, where %s is a wide
// string. At most 1024 characters are written, the terminator included.
int WINAPIV wsprintfW(LPWSTR out, LPCWSTR format, ...);
int WINAPI wvsprintfW(LPWSTR out, LPCWSTR format, va_list arguments);
#define wsprintf wsprintfW
#define wvsprintf wvsprintfW

// The user-interface language: the device setting HKEY_LOCAL_MACHINE\Handset\Device
// "UILanguage", else the one of the locale environment (LC_ALL, LC_MESSAGES, LANG), else 0x0409.
LANGID WINAPI GetUserDefaultUILanguage();
