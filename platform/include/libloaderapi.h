// Modules: resource files loaded as data, code modules (shared objects with a DllMain), the
// program's own module, and the resources that each of them serves.
#pragma once

#include <windef.h>

// The device declares FARPROC as returning an integer. Here it returns nothing, the one function
// pointer type that GCC lets code cast to any other without -Wcast-function-type, so that the
// usual cast of GetProcAddress's result to the export's real type builds with -Wextra -Werror.
typedef void(WINAPI* FARPROC)();

// Errors of the loader, as GetLastError reports them. Other headers may define the same values;
// each is defined once.
#ifndef ERROR_BAD_FORMAT
#define ERROR_BAD_FORMAT 11L
#endif
#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126L
#endif
#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127L
#endif
#ifndef ERROR_BAD_EXE_FORMAT
#define ERROR_BAD_EXE_FORMAT 193L
#endif
#ifndef ERROR_DLL_INIT_FAILED
#define ERROR_DLL_INIT_FAILED 1114L
#endif
#ifndef ERROR_RESOURCE_DATA_NOT_FOUND
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#endif
#ifndef ERROR_RESOURCE_TYPE_NOT_FOUND
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

// LoadLibraryEx flags.
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002

// The reasons a code module's DllMain(HINSTANCE, DWORD reason, LPVOID) is called with.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Resource names and types: an ordinal in the low 16 bits of a pointer, or a string.
#define MAKEINTRESOURCEW(i) ((LPWSTR)(ULONG_PTR)(WORD)(i))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)

// Loads a code module (a shared object) or, with LOAD_LIBRARY_AS_DATAFILE, a resource file,
// looking first at the path as given and then beside the running program. Loading a module that
// is already loaded returns its handle again and counts one more reference. A code module's
// DllMain gets DLL_PROCESS_ATTACH on its first load; if it answers FALSE the load fails with
// ERROR_DLL_INIT_FAILED. Other errors: ERROR_MOD_NOT_FOUND, ERROR_BAD_FORMAT (a damaged resource
// file), ERROR_BAD_EXE_FORMAT (not a loadable shared object), ERROR_INVALID_PARAMETER.
HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
#define LoadLibrary LoadLibraryW
#define LoadLibraryEx LoadLibraryExW

// Drops one reference. The last one calls a code module's DllMain with DLL_PROCESS_DETACH and
// unloads it. Freeing the program's own module has no effect and succeeds.
BOOL WINAPI FreeLibrary(HMODULE hLibModule);

// The address of an exported function of a code module, by name. Shared objects have no export
// ordinals, so an ordinal fails with ERROR_PROC_NOT_FOUND.
FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName);
FARPROC WINAPI GetProcAddressA(HMODULE hModule, LPCSTR lpProcName);
#define GetProcAddress GetProcAddressW

// Stops DLL_THREAD_ATTACH and DLL_THREAD_DETACH calls to the module's DllMain for threads made
// by CreateThread.
BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule);

// NULL: the program's own module, which serves the resources embedded in the program at build
// time (none, if nothing was embedded). A name: a loaded module with that file name, compared
// without regard to case; it counts no reference.
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
#define GetModuleHandle GetModuleHandleW

// Resources of a module (NULL: the program's own). Names and types are ordinals
// (MAKEINTRESOURCE), strings compared without regard to case, or "#123" for ordinal 123. The
// pointer that LockResource gives stays valid until the module's last FreeLibrary.
HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
#define FindResource FindResourceW

// Copies string uID of the module's string table into lpBuffer, cut to cchBufferMax - 1
// characters and terminated, and returns the number of characters copied; 0 when there is no
// such string (the buffer is then left empty). With cchBufferMax 0, lpBuffer receives a
// read-only pointer to the text itself (not terminated) and the result is its length.
int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
#define LoadString LoadStringW
