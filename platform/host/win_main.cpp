// The Contacts application's entry. The user-interface thread enters COM once for the whole run
// and leaves it at the end, when the libraries of menu extensions whose objects are all released
// are freed. Its texts come from the interface language's file for the whole run.
#include "host/contact_list_window.h"
#include "host/language_module.h"

#include <objbase.h>
#include <winbase.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    const HRESULT status = CoInitializeEx(nullptr, 0);
    if (FAILED(status)) {
        NKDbgPrintfW(u"Contacts: COM cannot be entered (0x%08X)", static_cast<unsigned>(status));
        return 1;
    }
    const handset::LanguageModule language;
    const int code = handset::ContactListWindow::run(hInstance);
    CoUninitialize();
    return code;
}
