#include "shell/registry.h"

#include "shell/trace.h"

#include <cstring>

namespace {

const int kStringSize = 260;

} // namespace

void REG_Open(HKEY* phKey, HKEY hRoot, LPCWSTR pszSubKey) {
    LONG lResult = RegOpenKeyExW(hRoot, pszSubKey, 0, 0, phKey);
    thread_local WCHAR szText[TRACE_TEXT_SIZE];
    StringCchPrintfW(szText, TRACE_TEXT_SIZE, u"REG_Open: %s", pszSubKey);
    DBG_Result(lResult == ERROR_SUCCESS ? 1 : -1, szText);
}

// A value stored as 0xFFFFFFFF cannot be told from a failure: callers get -1 either way.
int REG_QueryDWORD(HKEY hKey, LPCWSTR pszName) {
    if (hKey) {
        DBG_Result(1, u"REG_QueryDWORD");
    }
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD cbValue = sizeof(dwValue);
    LONG lResult = RegQueryValueExW(hKey, pszName, nullptr, &dwType,
                                    reinterpret_cast<LPBYTE>(&dwValue), &cbValue);
    if (lResult != ERROR_SUCCESS || dwType != REG_DWORD) {
        return -1;
    }
    return static_cast<int>(dwValue);
}

LPWSTR REG_QueryString(HKEY hKey, LPCWSTR pszName) {
    if (hKey) {
        DBG_Result(1, u"REG_QueryString");
    }
    thread_local WCHAR szValue[kStringSize];
    memset(szValue, 0, sizeof(szValue));
    DWORD dwType = 0;
    DWORD cbValue = sizeof(szValue);
    LONG lResult = RegQueryValueExW(hKey, pszName, nullptr, &dwType,
                                    reinterpret_cast<LPBYTE>(szValue), &cbValue);
    if (lResult != ERROR_SUCCESS || dwType != REG_SZ) {
        return nullptr;
    }
    szValue[kStringSize - 1] = 0;
    return szValue;
}

void REG_Close(HKEY hKey) {
    RegCloseKey(hKey);
}
