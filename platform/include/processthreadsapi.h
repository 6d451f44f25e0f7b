// Starting programs. The handset runs one program of its own on request: the help viewer
// "peghelp.exe", which shows the page its command line names (the desktop's browser opens it when
// a desktop is running; otherwise the request is written to the debug output).
#pragma once

#include <winbase.h>
#include <windef.h>

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;
static_assert(sizeof(PROCESS_INFORMATION) == 16);
static_assert(offsetof(PROCESS_INFORMATION, dwProcessId) == 8);

// The device takes no start-up record; the parameter exists for the call's shape and must be 0.
struct STARTUPINFOW;
typedef STARTUPINFOW* LPSTARTUPINFOW;

// Starts lpApplicationName with lpCommandLine. On success the process and thread handles in
// lpProcessInformation are open (close both with CloseHandle). A program the handset does not
// have fails with ERROR_FILE_NOT_FOUND; a missing application name or record with
// ERROR_INVALID_PARAMETER.
BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes,
                           LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                           DWORD dwCreationFlags, LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory,
                           LPSTARTUPINFOW lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation);
#define CreateProcess CreateProcessW
