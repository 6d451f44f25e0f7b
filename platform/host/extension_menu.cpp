#include "host/extension_menu.h"

#include "com/guid_text.h"

#include <winbase.h>

#include <string>

namespace handset {

namespace {

// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), CoCreateInstance's answer for a library that cannot
// be loaded.
constexpr HRESULT library_not_loaded = static_cast<HRESULT>(0x8007007E);

const WCHAR* creation_failure(HRESULT status) {
    switch (status) {
    case REGDB_E_CLASSNOTREG:
        return u"its class is not registered";
    case library_not_loaded:
        return u"its library cannot be loaded";
    case CO_E_ERRORINDLL:
        return u"its library has no class factory";
    case CLASS_E_CLASSNOTAVAILABLE:
        return u"its library does not serve the class";
    case E_NOINTERFACE:
        return u"it is no context menu";
    }
    return u"it cannot be created";
}

void report(const CLSID& clsid, const WCHAR* why, HRESULT status) {
    NKDbgPrintfW(u"Contacts: menu extension %s left out: %s (0x%08X)", guid_to_text(clsid).c_str(),
                 why, static_cast<unsigned>(status));
}

// Separates the object from the selection before the last reference goes, so that an object
// kept alive elsewhere does not keep the selection.
void release(IContextMenu* menu) {
    IObjectWithSite* with_site = nullptr;
    if (SUCCEEDED(menu->lpVtbl->QueryInterface(menu, IID_IObjectWithSite,
                                               reinterpret_cast<void**>(&with_site)))) {
        with_site->lpVtbl->SetSite(with_site, nullptr);
        with_site->lpVtbl->Release(with_site);
    }
    menu->lpVtbl->Release(menu);
}

} // namespace

ExtensionMenu::~ExtensionMenu() {
    for (const Extension& extension : m_extensions) {
        release(extension.menu);
    }
}

void ExtensionMenu::add_items(const std::vector<CLSID>& classes, IUnknown* site) {
    for (const CLSID& clsid : classes) {
        add_items_of(clsid, site);
    }
}

void ExtensionMenu::add_items_of(const CLSID& clsid, IUnknown* site) {
    if (m_next_command > last_command) {
        report(clsid, u"no command identifiers are left", E_FAIL);
        return;
    }
    IContextMenu* menu = nullptr;
    HRESULT status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                      reinterpret_cast<void**>(&menu));
    if (FAILED(status)) {
        report(clsid, creation_failure(status), status);
        return;
    }
    IObjectWithSite* with_site = nullptr;
    status = menu->lpVtbl->QueryInterface(menu, IID_IObjectWithSite,
                                          reinterpret_cast<void**>(&with_site));
    if (FAILED(status)) {
        report(clsid, u"it takes no site", status);
        menu->lpVtbl->Release(menu);
        return;
    }
    status = with_site->lpVtbl->SetSite(with_site, site);
    with_site->lpVtbl->Release(with_site);
    if (FAILED(status)) {
        report(clsid, u"it refused the selection", status);
        release(menu);
        return;
    }
    status = menu->lpVtbl->QueryContextMenu(menu, m_menu, insert_position, m_next_command,
                                            last_command, CMF_NORMAL);
    if (FAILED(status)) {
        report(clsid, u"it added no items", status);
        release(menu);
        return;
    }
    // A success code carries how many identifiers the extension used, from the first one on.
    const UINT count = static_cast<UINT>(status) & 0xFFFF;
    m_extensions.push_back({clsid, menu, m_next_command, count});
    m_next_command += count;
}

bool ExtensionMenu::invoke(UINT command, HWND owner) {
    for (const Extension& extension : m_extensions) {
        if (command < extension.first || command - extension.first >= extension.count) {
            continue;
        }
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof(info);
        info.hwnd = owner;
        info.lpVerb = command - extension.first;
        info.nShow = SW_SHOWNORMAL;
        const HRESULT status = extension.menu->lpVtbl->InvokeCommand(extension.menu, &info);
        if (FAILED(status)) {
            NKDbgPrintfW(u"Contacts: menu extension %s failed its command %u (0x%08X)",
                         guid_to_text(extension.clsid).c_str(), info.lpVerb,
                         static_cast<unsigned>(status));
        }
        return true;
    }
    return false;
}

} // namespace handset
