#include "contacts/contacts_access.h"

#include "shell/trace.h"

#include <string>

namespace {

// The connection, opened by the main view before any worker starts and closed at the end of the
// program.
IPOutlookApp* g_pApp = nullptr;
IFolder* g_pFolder = nullptr;
IPOutlookItemCollection* g_pItems = nullptr;

struct StatusRow {
    HRESULT hrStatus;
    const WCHAR* pszMessage;
    int iResult;
};

const StatusRow kStatusTable[] = {
    {E_INVALIDARG, u"Invalid Args", CONTACT_INVALID_ARGS},
    {E_OUTOFMEMORY, u"Out of Memory", CONTACT_STORAGE_FULL},
    {E_UNEXPECTED, u"Unexpected Error", CONTACT_UNEXPECTED},
    {E_FAIL, u"Save Fail", CONTACT_FAIL},
    {S_OK, u"Save OK", CONTACT_OK},
};

int ResultOf(HRESULT hr) {
    return hr == S_OK ? 1 : -1;
}

typedef HRESULT(STDMETHODCALLTYPE* TextGetter)(IContact* This, BSTR* pbstr);
typedef HRESULT(STDMETHODCALLTYPE* TextSetter)(IContact* This, BSTR pwsz);

// Reads one property into the caller's slot. A failed read empties the slot: what it held belongs
// to the contact read before, and must not pass for this one's. The slots are per thread, so the
// retrieve worker and the dialog thread never share one.
LPCWSTR ReadProperty(IContact* pContact, TextGetter pfnGet, std::u16string& slot, LPCWSTR pszName,
                     LPCWSTR pszFormat) {
    if (!pContact) {
        DBG_Result(-1, pszName);
        return nullptr;
    }
    BSTR bstrValue = nullptr;
    if (pfnGet(pContact, &bstrValue) == S_OK) {
        slot.assign(bstrValue ? bstrValue : u"");
        DBG_Printf(nullptr, pszFormat, slot.c_str());
    } else {
        slot.clear();
    }
    SysFreeString(bstrValue);
    return slot.c_str();
}

HRESULT WriteProperty(IContact* pContact, TextSetter pfnPut, LPCWSTR pszText, LPCWSTR pszName) {
    if (!pContact || !pszText) {
        DBG_Result(-1, pszName);
        return E_INVALIDARG;
    }
    return pfnPut(pContact, const_cast<BSTR>(pszText));
}

void TraceVersion(IPOutlookApp* pApp) {
    BSTR bstrVersion = nullptr;
    if (pApp->lpVtbl->get_Version(pApp, &bstrVersion) == S_OK && bstrVersion) {
        DBG_Printf(nullptr, u"CONTACT_GetAppHandle: Poom Version == %s", bstrVersion);
    }
    SysFreeString(bstrVersion);
}

} // namespace

IPOutlookApp* CONTACT_GetAppHandle(HWND hOwner) {
    if (g_pApp) {
        return g_pApp;
    }
    HRESULT hr = CoInitializeEx(nullptr, 0);
    DBG_Result(ResultOf(hr), u"CONTACT_GetAppHandle: CoInitializeEx");
    hr = CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                          reinterpret_cast<void**>(&g_pApp));
    DBG_Result(ResultOf(hr), u"CONTACT_GetAppHandle: CoCreateInstance");
    if (hr != S_OK || !g_pApp) {
        g_pApp = nullptr;
        return nullptr;
    }
    if (g_pApp->lpVtbl->Logon(g_pApp, static_cast<LONG>(static_cast<DWORD>(hOwner))) != S_OK) {
        DBG_Print(u"CONTACT_GetAppHandle: The user is already logged on!", u"Warning");
    }
    TraceVersion(g_pApp);
    return g_pApp;
}

IFolder* CONTACT_GetFolderHandle() {
    if (g_pFolder || !g_pApp) {
        return g_pFolder;
    }
    HRESULT hr = g_pApp->lpVtbl->GetDefaultFolder(g_pApp, olFolderContacts, &g_pFolder);
    if (hr != S_OK) {
        g_pFolder = nullptr;
    }
    DBG_Result(ResultOf(hr), u"CONTACT_GetFolderHandle");
    return g_pFolder;
}

IPOutlookItemCollection* CONTACT_GetItemHandle() {
    if (g_pItems) {
        return g_pItems;
    }
    IFolder* pFolder = CONTACT_GetFolderHandle();
    if (!pFolder) {
        return nullptr;
    }
    HRESULT hr = pFolder->lpVtbl->get_Items(pFolder, &g_pItems);
    if (hr != S_OK) {
        g_pItems = nullptr;
    }
    DBG_Result(ResultOf(hr), u"CONTACT_GetItemHandle");
    return g_pItems;
}

IPOutlookItemCollection* CONTACT_Init(HWND hOwner) {
    CONTACT_GetAppHandle(hOwner);
    CONTACT_GetFolderHandle();
    return CONTACT_GetItemHandle();
}

void CONTACT_Release() {
    if (g_pItems) {
        g_pItems->lpVtbl->Release(g_pItems);
        g_pItems = nullptr;
    }
    if (g_pFolder) {
        g_pFolder->lpVtbl->Release(g_pFolder);
        g_pFolder = nullptr;
    }
    if (g_pApp) {
        g_pApp->lpVtbl->Logoff(g_pApp);
        g_pApp->lpVtbl->Release(g_pApp);
        g_pApp = nullptr;
    }
}

int CONTACT_GetCount() {
    IPOutlookItemCollection* pItems = CONTACT_GetItemHandle();
    int iCount = 0;
    if (!pItems || pItems->lpVtbl->get_Count(pItems, &iCount) != S_OK) {
        iCount = 0;
    }
    DBG_Printf(nullptr, u"CONTACT_GetCount: Contact Numbers == %d", iCount);
    return iCount;
}

int CONTACT_GetItem(int iIndex, IContact** ppContact) {
    if (!ppContact) {
        DBG_Print(u"CONTACT_GetItem: ppIContact == NULL!", u"RD_Error");
        return CONTACT_FAIL;
    }
    *ppContact = nullptr;
    IPOutlookItemCollection* pItems = CONTACT_GetItemHandle();
    if (!pItems) {
        return CONTACT_Error(E_UNEXPECTED);
    }
    IDispatch* pItem = nullptr;
    HRESULT hr = pItems->lpVtbl->Item(pItems, iIndex, &pItem);
    if (hr == S_OK) {
        *ppContact = reinterpret_cast<IContact*>(pItem);
    }
    return CONTACT_Error(hr);
}

int CONTACTITEM_Create(IContact** ppContact) {
    if (!ppContact) {
        DBG_Print(u"CONTACTITEM_Create: ppIContact == NULL!", u"RD_Error");
        return CONTACT_FAIL;
    }
    *ppContact = nullptr;
    if (!g_pApp) {
        return CONTACT_Error(E_UNEXPECTED);
    }
    IDispatch* pItem = nullptr;
    HRESULT hr = g_pApp->lpVtbl->CreateItem(g_pApp, olContactItem, &pItem);
    if (hr == S_OK) {
        *ppContact = reinterpret_cast<IContact*>(pItem);
    }
    return CONTACT_Error(hr);
}

int CONTACTITEM_Save(IContact* pContact) {
    if (!pContact) {
        DBG_Print(u"CONTACTITEM_Save: pIContact == NULL!", u"RD_Error");
        return CONTACT_FAIL;
    }
    return CONTACT_Error(pContact->lpVtbl->Save(pContact));
}

void CONTACTITEM_Release(IContact* pContact) {
    if (pContact) {
        pContact->lpVtbl->Release(pContact);
    }
}

int CONTACT_Error(HRESULT hrStatus) {
    for (const StatusRow& row : kStatusTable) {
        if (row.hrStatus == hrStatus) {
            DBG_Printf(nullptr, u"CONTACT_Error: %s", row.pszMessage);
            return row.iResult;
        }
    }
    DBG_Print(u"CONTACT_Error: Unknown Error", nullptr);
    return CONTACT_UNKNOWN_STATUS;
}

LPCWSTR CONTACTITEM_GetFirstName(IContact* pContact) {
    thread_local std::u16string slot;
    return ReadProperty(pContact, pContact ? pContact->lpVtbl->get_FirstName : nullptr, slot,
                        u"CONTACTITEM_GetFirstName", u"CONTACTITEM_GetFirstName: First Name == %s");
}

LPCWSTR CONTACTITEM_GetLastName(IContact* pContact) {
    thread_local std::u16string slot;
    return ReadProperty(pContact, pContact ? pContact->lpVtbl->get_LastName : nullptr, slot,
                        u"CONTACTITEM_GetLastName", u"CONTACTITEM_GetLastName: Last Name == %s");
}

LPCWSTR CONTACTITEM_GetBussinessTel(IContact* pContact) {
    thread_local std::u16string slot;
    return ReadProperty(
        pContact, pContact ? pContact->lpVtbl->get_BusinessTelephoneNumber : nullptr, slot,
        u"CONTACTITEM_GetBussinessTel", u"CONTACTITEM_GetBussinessTel: Buss Tel == %s");
}

LPCWSTR CONTACTITEM_GetHomeTel(IContact* pContact) {
    thread_local std::u16string slot;
    return ReadProperty(pContact, pContact ? pContact->lpVtbl->get_HomeTelephoneNumber : nullptr,
                        slot, u"CONTACTITEM_GetHomeTel", u"CONTACTITEM_GetHomeTel: Home Tel == %s");
}

LPCWSTR CONTACTITEM_GetMobileTel(IContact* pContact) {
    thread_local std::u16string slot;
    return ReadProperty(pContact, pContact ? pContact->lpVtbl->get_MobileTelephoneNumber : nullptr,
                        slot, u"CONTACTITEM_GetMobileTel",
                        u"CONTACTITEM_GetMobileTel: Mobile Tel == %s");
}

HRESULT CONTACTITEM_SetFirstName(IContact* pContact, LPCWSTR pszText) {
    return WriteProperty(pContact, pContact ? pContact->lpVtbl->put_FirstName : nullptr, pszText,
                         u"CONTACTITEM_SetFirstName");
}

HRESULT CONTACTITEM_SetMobileTel(IContact* pContact, LPCWSTR pszText) {
    return WriteProperty(pContact, pContact ? pContact->lpVtbl->put_MobileTelephoneNumber : nullptr,
                         pszText, u"CONTACTITEM_SetMobileTel");
}

HRESULT CONTACTITEM_SetBussinessTel(IContact* pContact, LPCWSTR pszText) {
    return WriteProperty(pContact,
                         pContact ? pContact->lpVtbl->put_BusinessTelephoneNumber : nullptr,
                         pszText, u"CONTACTITEM_SetBussinessTel");
}

HRESULT CONTACTITEM_SetEmail1(IContact* pContact, LPCWSTR pszText) {
    return WriteProperty(pContact, pContact ? pContact->lpVtbl->put_Email1Address : nullptr,
                         pszText, u"CONTACTITEM_SetEmail1");
}

HRESULT CONTACTITEM_SetNickName(IContact* pContact, LPCWSTR pszText) {
    if (!pContact || !pszText) {
        DBG_Result(-1, u"CONTACTITEM_SetNickName");
        return E_INVALIDARG;
    }
    IItem* pItem = nullptr;
    HRESULT hr =
        pContact->lpVtbl->QueryInterface(pContact, IID_IItem, reinterpret_cast<void**>(&pItem));
    if (hr == S_OK) {
        CEPROPVAL value = {};
        value.propid = PIMPR_NICKNAME;
        value.val.lpwstr = const_cast<LPWSTR>(pszText);
        hr = pItem->lpVtbl->SetProps(pItem, 0, 1, &value);
        pItem->lpVtbl->Release(pItem);
    }
    DBG_Result(ResultOf(hr), u"CONTACTITEM_SetNickName");
    return hr;
}
