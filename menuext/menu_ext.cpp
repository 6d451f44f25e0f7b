// The command object: adds "Copy to SIM" to the Contacts application's context menu and opens the
// Copy-to-SIM dialog when it is picked. It also chooses the module every resource of the library
// is loaded from.
#include "menuext/copy_dialog.h"
#include "menuext/quorrel.h"
#include "quorrel_ids.h"

#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

HINSTANCE g_hInstRes = nullptr;
BOOL g_bMUILoaded = FALSE;

namespace {

const int kNameSize = 260;
const int kTextSize = 100;
const char kVerb[] = "CME Sample";
const HRESULT kNoDataObject = static_cast<HRESULT>(0x800004E1);

// Both interfaces are tables of the one object; the second table's first three members step
// back to the object.
struct CMenuExt {
    const IContextMenuVtbl* lpVtbl;
    const IObjectWithSiteVtbl* lpSiteVtbl;
    LONG cRef;
    IUnknown* pSite;
};

bool IsEqual(REFIID a, REFIID b) {
    return memcmp(&a, &b, sizeof(IID)) == 0;
}

CMenuExt* ObjectOf(IContextMenu* This) {
    return reinterpret_cast<CMenuExt*>(This);
}

CMenuExt* ObjectOf(IObjectWithSite* This) {
    return reinterpret_cast<CMenuExt*>(reinterpret_cast<BYTE*>(This) -
                                       offsetof(CMenuExt, lpSiteVtbl));
}

IContextMenu* ContextMenuOf(CMenuExt* pObject) {
    return reinterpret_cast<IContextMenu*>(pObject);
}

IObjectWithSite* ObjectWithSiteOf(CMenuExt* pObject) {
    return reinterpret_cast<IObjectWithSite*>(&pObject->lpSiteVtbl);
}

void LoadText(UINT uID, LPWSTR pszText) {
    if (LoadStringW(g_hInstRes, uID, pszText, kTextSize) == 0) {
        pszText[0] = 0;
    }
}

HRESULT STDMETHODCALLTYPE QueryInterface(IContextMenu* This, REFIID riid, void** ppv) {
    NKDbgPrintfW(u" %s: CMenuExt::QueryInterface !\n", QUORREL_NAME);
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    CMenuExt* pObject = ObjectOf(This);
    IUnknown* pHanded = nullptr;
    if (IsEqual(riid, IID_IUnknown) || IsEqual(riid, IID_IContextMenu)) {
        pHanded = reinterpret_cast<IUnknown*>(ContextMenuOf(pObject));
    } else if (IsEqual(riid, IID_IObjectWithSite)) {
        pHanded = reinterpret_cast<IUnknown*>(ObjectWithSiteOf(pObject));
    }
    if (!pHanded) {
        return E_NOINTERFACE;
    }
    pHanded->lpVtbl->AddRef(pHanded);
    *ppv = pHanded;
    return S_OK;
}

ULONG STDMETHODCALLTYPE AddRef(IContextMenu* This) {
    return static_cast<ULONG>(++ObjectOf(This)->cRef);
}

ULONG STDMETHODCALLTYPE Release(IContextMenu* This) {
    CMenuExt* pObject = ObjectOf(This);
    if (--pObject->cRef != 0) {
        return static_cast<ULONG>(pObject->cRef);
    }
    if (pObject->pSite) {
        pObject->pSite->lpVtbl->Release(pObject->pSite);
    }
    --g_cObjects;
    free(pObject);
    return 0;
}

HRESULT STDMETHODCALLTYPE GetSite(IObjectWithSite* This, REFIID riid, void** ppvSite);

HRESULT STDMETHODCALLTYPE QueryContextMenu(IContextMenu* This, HMENU hMenu, UINT, UINT idCmdFirst,
                                           UINT idCmdLast, UINT) {
    NKDbgPrintfW(u" %s: >> CMenuExt::QueryContextMenu!\n", QUORREL_NAME);
    if (idCmdLast < idCmdFirst) {
        return E_INVALIDARG;
    }
    IDataObject* pData = nullptr;
    if (FAILED(GetSite(ObjectWithSiteOf(ObjectOf(This)), IID_IDataObject,
                       reinterpret_cast<void**>(&pData)))) {
        NKDbgPrintfW(u" %s: >> CMenuExt::QueryContextMenu!  FAILED \n", QUORREL_NAME);
        return kNoDataObject;
    }
    pData->lpVtbl->Release(pData);
    NKDbgPrintfW(u" %s: >> CMenuExt::QueryContextMenu!  Success and insert menu item \n",
                 QUORREL_NAME);
    if (!g_hInstRes) {
        GetMultiLanguage(g_hInstance);
        NKDbgPrintfW(u" %s: >> CMenuExt::QueryContextMenu!  Load MUI DLL again !!\n", QUORREL_NAME);
    }
    WCHAR szItem[kTextSize];
    LoadText(IDS_MENU_ITEM, szItem);
    BOOL bInserted = InsertMenuW(hMenu, 3, MF_BYPOSITION | MF_STRING, idCmdFirst, szItem);
    return bInserted ? 1 : 0;
}

// Only one Copy-to-SIM dialog runs at a time. The window is looked for by the class and title of
// the library's strings, and the dialog this library has open counts too: it carries the caption
// "Copy to SIM" and no class of its own, so the search alone would never find it.
HWND OpenDialog() {
    if (HWND hDialog = CopyDialogWindow()) {
        return hDialog;
    }
    WCHAR szTitle[kTextSize];
    WCHAR szClass[kTextSize];
    LoadText(IDS_GUARD_TITLE, szTitle);
    LoadText(IDS_GUARD_CLASS, szClass);
    return FindWindowW(szClass, szTitle);
}

HRESULT STDMETHODCALLTYPE InvokeCommand(IContextMenu*, LPCMINVOKECOMMANDINFO pici) {
    NKDbgPrintfW(u" %s: >> CMenuExt::InvokeCommand !\n", QUORREL_NAME);
    if (!pici) {
        return E_POINTER;
    }
    if (pici->cbSize != sizeof(CMINVOKECOMMANDINFO)) {
        NKDbgPrintfW(
            u" %s: >> CMenuExt::InvokeCommand there's no CMINVOKECOMMANDINFOEX in WinCE!\n",
            QUORREL_NAME);
        return E_INVALIDARG;
    }
    // The dialog gave the resource module back when it last closed.
    if (!g_hInstRes) {
        GetMultiLanguage(g_hInstance);
    }
    if (HWND hOpen = OpenDialog()) {
        NKDbgPrintfW(u"=====    %s: Has Dialog Already ====== !\n", QUORREL_NAME);
        SetForegroundWindow(HWND(static_cast<DWORD>(hOpen) | 1u));
        return S_OK;
    }
    bool bPortrait = GetSystemMetrics(SM_CYSCREEN) > GetSystemMetrics(SM_CXSCREEN);
    if (!RunCopyDialog(pici->hwnd, bPortrait ? IDD_COPY_PORTRAIT : IDD_COPY_LANDSCAPE)) {
        NKDbgPrintfW(u"%s: Error: Create Main Dialog failure !\n", QUORREL_NAME);
    }
    return S_OK;
}

// A short buffer gets as much of the verb as fits, always terminated.
HRESULT STDMETHODCALLTYPE GetCommandString(IContextMenu*, UINT_PTR idCmd, UINT uType, UINT*,
                                           LPSTR pszName, UINT cchMax) {
    NKDbgPrintfW(u" %s: CMenuExt::GetCommandString !\n", QUORREL_NAME);
    switch (uType) {
    case GCS_VERBA:
        if (idCmd != 0) {
            return E_FAIL;
        }
        NKDbgPrintfW(u" %s: CMenuExt::GetCommandString  GCS_VERB!\n", QUORREL_NAME);
        if (pszName && cchMax > 0) {
            size_t cchCopy = std::min<size_t>(cchMax - 1, sizeof(kVerb) - 1);
            memcpy(pszName, kVerb, cchCopy);
            pszName[cchCopy] = 0;
        }
        return S_OK;
    case GCS_HELPTEXTA:
        if (pszName && cchMax > 0) {
            pszName[0] = 0;
        }
        return S_OK;
    case GCS_VALIDATEA:
        return S_FALSE;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SiteQueryInterface(IObjectWithSite* This, REFIID riid, void** ppv) {
    return QueryInterface(ContextMenuOf(ObjectOf(This)), riid, ppv);
}

ULONG STDMETHODCALLTYPE SiteAddRef(IObjectWithSite* This) {
    return AddRef(ContextMenuOf(ObjectOf(This)));
}

ULONG STDMETHODCALLTYPE SiteRelease(IObjectWithSite* This) {
    return Release(ContextMenuOf(ObjectOf(This)));
}

HRESULT STDMETHODCALLTYPE SetSite(IObjectWithSite* This, IUnknown* pUnkSite) {
    NKDbgPrintfW(u" %s: CMenuExt::SetSit !\n", QUORREL_NAME);
    CMenuExt* pObject = ObjectOf(This);
    if (pUnkSite) {
        pUnkSite->lpVtbl->AddRef(pUnkSite);
    }
    if (pObject->pSite) {
        pObject->pSite->lpVtbl->Release(pObject->pSite);
    }
    pObject->pSite = pUnkSite;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetSite(IObjectWithSite* This, REFIID riid, void** ppvSite) {
    NKDbgPrintfW(u" %s: CMenuExt::GetSite   !\n", QUORREL_NAME);
    if (!ppvSite) {
        return E_POINTER;
    }
    IUnknown* pSite = ObjectOf(This)->pSite;
    if (!pSite) {
        *ppvSite = nullptr;
        return E_FAIL;
    }
    return pSite->lpVtbl->QueryInterface(pSite, riid, ppvSite);
}

const IContextMenuVtbl kContextMenuVtbl = {QueryInterface,   AddRef,        Release,
                                           QueryContextMenu, InvokeCommand, GetCommandString};
const IObjectWithSiteVtbl kObjectWithSiteVtbl = {SiteQueryInterface, SiteAddRef, SiteRelease,
                                                 SetSite, GetSite};

} // namespace

IUnknown* CreateMenuExt() {
    auto* pObject = static_cast<CMenuExt*>(malloc(sizeof(CMenuExt)));
    if (!pObject) {
        return nullptr;
    }
    pObject->lpVtbl = &kContextMenuVtbl;
    pObject->lpSiteVtbl = &kObjectWithSiteVtbl;
    NKDbgPrintfW(u" %s: >> CMenuExt , GetMultiLanguage ! <<\n", QUORREL_NAME);
    pObject->cRef = 0;
    pObject->pSite = nullptr;
    ++g_cObjects;
    if (!g_hInstRes) {
        GetMultiLanguage(g_hInstance);
    }
    return reinterpret_cast<IUnknown*>(pObject);
}

BOOL GetMultiLanguage(HINSTANCE hFallback) {
    g_bMUILoaded = FALSE;
    g_hInstRes = nullptr;
    auto* pszName = static_cast<LPWSTR>(malloc(kNameSize * sizeof(WCHAR)));
    if (!pszName) {
        return FALSE;
    }
    StringCchPrintfW(pszName, kNameSize, u"%s0%x%s", u"Quorrel.dll.",
                     static_cast<unsigned>(GetUserDefaultUILanguage()), u".mui");
    HINSTANCE hModule = LoadLibraryExW(pszName, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule) {
        g_hInstRes = hModule;
        g_bMUILoaded = TRUE;
    } else {
        g_hInstRes = hFallback;
    }
    free(pszName);
    return g_bMUILoaded;
}

void ReleaseMUI() {
    DebugTrace(u"+ReleaseMUI()", nullptr);
    if (g_bMUILoaded) {
        DebugTrace(u"ReleaseMUI->FreeLibrary", nullptr);
        FreeLibrary(g_hInstRes);
    }
    g_bMUILoaded = FALSE;
    g_hInstRes = nullptr;
    DebugTrace(u"-ReleaseMUI()", nullptr);
}
