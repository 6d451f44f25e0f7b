// A context-menu extension written the way a third-party library for the device is: plain
// records with hand-written function tables, a class factory, and a count of live objects for
// DllCanUnloadNow. It writes what it is called with to the debug output for the tests to read.
#include "test_menu_extension.h"

#include <shlobj.h>
#include <winbase.h>
#include <winuser.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int> live_objects{0};

struct MenuExt {
    IContextMenu menu;
    IObjectWithSite with_site;
    std::atomic<ULONG> references;
    IUnknown* site;
    bool failing;
};

MenuExt* from_menu(IContextMenu* self) {
    return reinterpret_cast<MenuExt*>(self);
}

MenuExt* from_site(IObjectWithSite* self) {
    return reinterpret_cast<MenuExt*>(reinterpret_cast<char*>(self) - offsetof(MenuExt, with_site));
}

HRESULT STDMETHODCALLTYPE menu_query_interface(IContextMenu* self, REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu)) {
        *out = self;
    } else if (IsEqualIID(iid, IID_IObjectWithSite)) {
        *out = &from_menu(self)->with_site;
    } else {
        return E_NOINTERFACE;
    }
    ++from_menu(self)->references;
    return S_OK;
}

ULONG STDMETHODCALLTYPE menu_add_ref(IContextMenu* self) {
    return ++from_menu(self)->references;
}

ULONG STDMETHODCALLTYPE menu_release(IContextMenu* self) {
    MenuExt* ext = from_menu(self);
    const ULONG left = --ext->references;
    if (left == 0) {
        if (ext->site != nullptr) {
            ext->site->lpVtbl->Release(ext->site);
        }
        delete ext;
        --live_objects;
    }
    return left;
}

// Writes the contacts that the site's data object holds.
void report_selection(IUnknown* site) {
    IDataObject* data = nullptr;
    if (FAILED(
            site->lpVtbl->QueryInterface(site, IID_IDataObject, reinterpret_cast<void**>(&data)))) {
        NKDbgPrintfW(u"TestMenuExt: selection without a data object");
        return;
    }
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_CONTACTOIDS)),
                        nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->lpVtbl->GetData(data, &format, &medium) == S_OK) {
        DWORD count = 0;
        std::memcpy(&count, medium.hGlobal, sizeof count);
        WCHAR line[200];
        int length = wsprintfW(line, u"TestMenuExt: selection %u:", count);
        for (DWORD at = 0; at < count && length < 180; ++at) {
            CEOID oid = 0;
            std::memcpy(&oid, static_cast<BYTE*>(medium.hGlobal) + sizeof count + at * sizeof oid,
                        sizeof oid);
            length += wsprintfW(line + length, u" %u", oid);
        }
        OutputDebugStringW(line);
        std::free(medium.hGlobal);
    }
    data->lpVtbl->Release(data);
}

HRESULT STDMETHODCALLTYPE query_context_menu(IContextMenu* self, HMENU menu, UINT index, UINT first,
                                             UINT last, UINT) {
    NKDbgPrintfW(u"TestMenuExt: query at %u of %d items, identifiers %u to %u", index,
                 GetMenuItemCount(menu), first, last);
    if (from_menu(self)->failing) {
        return E_FAIL;
    }
    InsertMenuW(menu, 3, MF_BYPOSITION | MF_STRING, first, TEST_MENU_EXT_COMMAND);
    return 1;
}

HRESULT STDMETHODCALLTYPE invoke_command(IContextMenu*, LPCMINVOKECOMMANDINFO info) {
    NKDbgPrintfW(u"TestMenuExt: invoke size %u verb %u owner 0x%X with %d objects", info->cbSize,
                 info->lpVerb, static_cast<unsigned>(info->hwnd.value()), live_objects.load());
    MessageBoxW(info->hwnd, TEST_MENU_EXT_BOX, u"TestMenuExt", MB_OK);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE get_command_string(IContextMenu*, UINT_PTR, UINT, UINT*, LPSTR, UINT) {
    return E_NOTIMPL;
}

const IContextMenuVtbl menu_table = {menu_query_interface, menu_add_ref,   menu_release,
                                     query_context_menu,   invoke_command, get_command_string};

HRESULT STDMETHODCALLTYPE site_query_interface(IObjectWithSite* self, REFIID iid, void** out) {
    return menu_query_interface(&from_site(self)->menu, iid, out);
}

ULONG STDMETHODCALLTYPE site_add_ref(IObjectWithSite* self) {
    return menu_add_ref(&from_site(self)->menu);
}

ULONG STDMETHODCALLTYPE site_release(IObjectWithSite* self) {
    return menu_release(&from_site(self)->menu);
}

HRESULT STDMETHODCALLTYPE set_site(IObjectWithSite* self, IUnknown* site) {
    MenuExt* ext = from_site(self);
    if (site != nullptr) {
        site->lpVtbl->AddRef(site);
        report_selection(site);
    }
    if (ext->site != nullptr) {
        ext->site->lpVtbl->Release(ext->site);
    }
    ext->site = site;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE get_site(IObjectWithSite* self, REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    IUnknown* site = from_site(self)->site;
    return site == nullptr ? E_FAIL : site->lpVtbl->QueryInterface(site, iid, out);
}

const IObjectWithSiteVtbl site_table = {site_query_interface, site_add_ref, site_release, set_site,
                                        get_site};

struct Factory {
    IClassFactory iface;
    bool failing;
};

HRESULT STDMETHODCALLTYPE factory_query_interface(IClassFactory* self, REFIID iid, void** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *out = self;
    ++live_objects;
    return S_OK;
}

// Two static factories; each reference handed out counts as a live object.
ULONG STDMETHODCALLTYPE factory_add_ref(IClassFactory*) {
    return ++live_objects;
}

ULONG STDMETHODCALLTYPE factory_release(IClassFactory*) {
    return --live_objects;
}

HRESULT STDMETHODCALLTYPE factory_create_instance(IClassFactory* self, IUnknown* outer, REFIID iid,
                                                  void** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* ext = new MenuExt{
        {&menu_table}, {&site_table}, 1, nullptr, reinterpret_cast<Factory*>(self)->failing};
    ++live_objects;
    const HRESULT status = menu_query_interface(&ext->menu, iid, out);
    menu_release(&ext->menu);
    return status;
}

HRESULT STDMETHODCALLTYPE factory_lock_server(IClassFactory*, BOOL) {
    return S_OK;
}

const IClassFactoryVtbl factory_table = {factory_query_interface, factory_add_ref, factory_release,
                                         factory_create_instance, factory_lock_server};
Factory working_factory = {{&factory_table}, false};
Factory failing_factory = {{&factory_table}, true};

} // namespace

extern "C" __attribute__((visibility("default"))) BOOL WINAPI DllMain(HINSTANCE, DWORD reason,
                                                                      LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        OutputDebugStringW(u"TestMenuExt: attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        OutputDebugStringW(u"TestMenuExt: detach");
    }
    return TRUE;
}

extern "C" __attribute__((visibility("default"))) HRESULT
DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (IsEqualCLSID(clsid, CLSID_TestMenuExt)) {
        return factory_query_interface(&working_factory.iface, iid, out);
    }
    if (IsEqualCLSID(clsid, CLSID_FailingMenuExt)) {
        return factory_query_interface(&failing_factory.iface, iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return live_objects == 0 ? S_OK : S_FALSE;
}
