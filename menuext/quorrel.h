// Quorrel: the "Copy to SIM" command that the phone's Contacts application loads as an in-process
// COM server. The library-wide state every part of it shares, and its trace.
#pragma once

#include <windows.h>

#include <objbase.h>

// {AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}
constexpr CLSID CLSID_MenuExt = {
    0xAA01964D, 0x85CC, 0x44DC, {0x9F, 0xFF, 0xEE, 0xDC, 0xFA, 0x94, 0x5C, 0xBB}};

// The library's name in every trace line.
#define QUORREL_NAME u"Quorrel"

// The library's own module, set at process attach.
extern HINSTANCE g_hInstance;
// The module every resource is loaded from: a language module, or the library itself. Null until
// first loaded and again after ReleaseMUI.
extern HINSTANCE g_hInstRes;
// 1 while g_hInstRes is a language module that must be unloaded.
extern BOOL g_bMUILoaded;
// Live COM objects of the library, factories and command objects alike.
extern LONG g_cObjects;

void DebugTrace(LPCWSTR pszText, LPCWSTR pszTag);

BOOL GetMultiLanguage(HINSTANCE hFallback);
void ReleaseMUI();

// Makes a command object with count 0, counted in g_cObjects; null without memory.
IUnknown* CreateMenuExt();
