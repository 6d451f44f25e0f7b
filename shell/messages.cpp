#include "shell/messages.h"

#include "shell/app.h"
#include "shell/resources.h"
#include "shell/trace.h"
#include "telvane_ids.h"

namespace {

const int kCaptionSize = 260;

void ShowMessage(LPCWSTR pszText, HWND hOwner, UINT uCaption, UINT uIcon) {
    WCHAR szCaption[kCaptionSize];
    HINSTANCE hModule = g_hLangModule ? g_hLangModule : APP_GetInstance();
    if (LoadStringW(hModule, uCaption, szCaption, kCaptionSize) == 0) {
        szCaption[0] = 0;
    }
    DBG_Print(pszText, u"RD_INFO");
    UINT uStyle = MB_OK | uIcon;
    if (!hOwner) {
        uStyle |= MB_TOPMOST;
    }
    MessageBoxW(hOwner, pszText, szCaption, uStyle);
}

} // namespace

void MSG_Error(LPCWSTR pszText, HWND hOwner) {
    ShowMessage(pszText, hOwner, IDS_CAPTION_ERROR, MB_ICONHAND);
}

void MSG_Warning(LPCWSTR pszText, HWND hOwner) {
    ShowMessage(pszText, hOwner, IDS_CAPTION_WARNING, MB_ICONEXCLAMATION);
}

void MSG_Information(LPCWSTR pszText, HWND hOwner) {
    ShowMessage(pszText, hOwner, IDS_CAPTION_INFORMATION, MB_ICONASTERISK);
}
