// The program's two resource modules: the resource library with the pictures, and the language
// module with every string, dialog and menu.
#pragma once

#include <windows.h>

// The resource library (Telvane.dll), 0 until loaded.
extern HINSTANCE g_hResDll;
// The language file, or the program's own module when no language file could be loaded.
extern HINSTANCE g_hLangModule;

int RC_LoadResDll();
void RC_FreeResDll();
int RC_LoadMUI(HINSTANCE hInstance);
void RC_FreeMUI();
LPWSTR RC_LoadString(UINT uID);
void RC_ShowHelp();

// The user-interface language as the four or five hexadecimal digits the file names carry, for
// example "0409".
void RC_GetLanguageCode(LPWSTR pszCode, int cchCode);
