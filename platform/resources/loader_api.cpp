// The device's module calls, over the module table.
#include "base/utf.h"
#include "resources/module_table.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <string>

using handset::ModuleTable;

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    return LoadLibraryExW(lpLibFileName, nullptr, 0);
}

HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (lpLibFileName == nullptr || hFile || (dwFlags & ~DWORD{LOAD_LIBRARY_AS_DATAFILE}) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleTable& table = ModuleTable::instance();
    return (dwFlags & LOAD_LIBRARY_AS_DATAFILE) ? table.load_data_file(lpLibFileName)
                                                : table.load_code_module(lpLibFileName);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    return ModuleTable::instance().free_module(hLibModule);
}

// Shared objects have no export ordinals.
FARPROC WINAPI GetProcAddressA(HMODULE hModule, LPCSTR lpProcName) {
    if (IS_INTRESOURCE(lpProcName)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(ModuleTable::instance().export_address(hModule, lpProcName));
}

FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName) {
    if (IS_INTRESOURCE(lpProcName)) {
        return GetProcAddressA(hModule, reinterpret_cast<LPCSTR>(lpProcName));
    }
    return GetProcAddressA(hModule, handset::utf16_to_utf8(lpProcName).c_str());
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
    return ModuleTable::instance().disable_thread_calls(hLibModule);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    ModuleTable& table = ModuleTable::instance();
    return lpModuleName == nullptr ? table.program_module() : table.code_module_named(lpModuleName);
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return ModuleTable::instance().find_resource(hModule, lpName, lpType);
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    if (ModuleTable::instance().resource(hModule, hResInfo.value()) == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return HGLOBAL(hResInfo.value());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    const handset::ResEntry* entry = ModuleTable::instance().resource(hResData.value());
    return entry != nullptr ? const_cast<BYTE*>(entry->data.data()) : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const handset::ResEntry* entry = ModuleTable::instance().resource(hModule, hResInfo.value());
    if (entry == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(entry->data.size());
}
