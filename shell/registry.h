// Reading the four registry values the program depends on. The program never writes the registry.
#pragma once

#include <windows.h>

void REG_Open(HKEY* phKey, HKEY hRoot, LPCWSTR pszSubKey);
int REG_QueryDWORD(HKEY hKey, LPCWSTR pszName);
LPWSTR REG_QueryString(HKEY hKey, LPCWSTR pszName);
void REG_Close(HKEY hKey);
