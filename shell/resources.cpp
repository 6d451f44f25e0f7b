#include "shell/resources.h"

#include "shell/app.h"
#include "shell/trace.h"

HINSTANCE g_hResDll = nullptr;
HINSTANCE g_hLangModule = nullptr;

namespace {

const int kNameSize = 260;
const WCHAR kProgramName[] = u"Telvane";
const WCHAR kLanguageFilePrefix[] = u"Telvane.exe.";
const WCHAR kLanguageFileSuffix[] = u".mui";

// The last language file name tried.
WCHAR g_szFileName[kNameSize];

unsigned UserLanguage() {
    return GetUserDefaultUILanguage() & 0xFFFF;
}

HINSTANCE LoadDataFile(LPCWSTR pszName) {
    return LoadLibraryExW(pszName, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

} // namespace

int RC_LoadResDll() {
    WCHAR szName[kNameSize];
    StringCchPrintfW(szName, kNameSize, u"%s.dll", kProgramName);
    g_hResDll = LoadDataFile(szName);
    return g_hResDll ? 1 : -1;
}

void RC_FreeResDll() {
    if (g_hResDll) {
        FreeLibrary(g_hResDll);
        g_hResDll = nullptr;
    }
}

int RC_LoadMUI(HINSTANCE hInstance) {
    g_hLangModule = nullptr;
    StringCchPrintfW(g_szFileName, kNameSize, u"%s0%x%s", kLanguageFilePrefix, UserLanguage(),
                     kLanguageFileSuffix);
    g_hLangModule = LoadDataFile(g_szFileName);
    if (!g_hLangModule) {
        StringCchPrintfW(g_szFileName, kNameSize, u"%s0409%s", kLanguageFilePrefix,
                         kLanguageFileSuffix);
        g_hLangModule = LoadDataFile(g_szFileName);
    }
    if (!g_hLangModule) {
        g_hLangModule = hInstance;
        DBG_Printf(u"RD_INFO", u"RC_LoadMUI: Failed to load %s!", g_szFileName);
        return -1;
    }
    DBG_Printf(nullptr, u"RC_LoadMUI: %s is loaded!", g_szFileName);
    return 1;
}

// Releasing the program's own module, when it stands in for the language file, has no effect.
void RC_FreeMUI() {
    if (g_hLangModule) {
        FreeLibrary(g_hLangModule);
        g_hLangModule = nullptr;
    }
}

// Until the language module is loaded, strings come from the program's own module.
LPWSTR RC_LoadString(UINT uID) {
    thread_local WCHAR szString[kNameSize];
    HINSTANCE hModule = g_hLangModule ? g_hLangModule : APP_GetInstance();
    if (LoadStringW(hModule, uID, szString, kNameSize) == 0) {
        szString[0] = 0;
    }
    return szString;
}

void RC_GetLanguageCode(LPWSTR pszCode, int cchCode) {
    StringCchPrintfW(pszCode, cchCode, u"0%x", UserLanguage());
}

void RC_ShowHelp() {
    WCHAR szCommandLine[kNameSize];
    StringCchPrintfW(szCommandLine, kNameSize, u"file:%s.0%x.htm#SettingLink", kProgramName,
                     UserLanguage());
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(u"peghelp.exe", szCommandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       nullptr, &info)) {
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}
