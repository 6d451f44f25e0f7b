// Reading the handset's registry. The device keeps it in the device folder's registry.reg;
// programs only read it. Keys are found regardless of case, and a trailing backslash in a key
// path is tolerated.
#pragma once

#include <winbase.h>

typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef HKEY* PHKEY;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

// Access rights; the device does not check them.
#define KEY_QUERY_VALUE 0x0001
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_ALL_ACCESS 0xF003F

// ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when the key is not there; ERROR_INVALID_HANDLE for a key
// that is not open; ERROR_BAD_PATHNAME for a path with an empty name in it. *result is 0 unless
// the key was opened. A null or empty sub_key opens the key itself again.
LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD options, REGSAM desired,
                             PHKEY result);

// A null or empty name reads the key's default value. With data null, *data_size receives the
// value's size; with data too small, ERROR_MORE_DATA and the size needed, data untouched. The
// size of a REG_SZ value includes its terminator. ERROR_FILE_NOT_FOUND when the value is not
// there, ERROR_KEY_DELETED when the open key has since been removed from the registry.
LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD data_size);

LSTATUS WINAPI RegCloseKey(HKEY key);

#define RegOpenKeyEx RegOpenKeyExW
#define RegQueryValueEx RegQueryValueExW
