#include "menuext/data_access.h"

#include "menuext/quorrel.h"

#include <oleauto.h>

#include <cstdarg>
#include <cstring>

DWORD g_dwUsed = 0;
DWORD g_dwTotal = 0;

namespace {

const int kTextSize = 260;
const DWORD kSimStorage = SIM_PBSTORAGE_SIM;
const DWORD kFirstFree = SIM_PBINDEX_FIRSTAVAILABLE;

IPOutlookApp* g_polApp = nullptr;
IFolder* g_pContactFolder = nullptr;
IPOutlookItemCollection* g_pCollectionContacts = nullptr;
HSIM g_hSim = nullptr;
// COM is left as often as InitPoom entered it, so the host's last CoUninitialize can unload the
// library.
int g_iComEntered = 0;
// Trace lines that carry a number or a text are formatted here first.
WCHAR g_szTrace[kTextSize];

void TracePrintf(LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    StringCchVPrintfW(g_szTrace, kTextSize, pszFormat, args);
    va_end(args);
    DebugTrace(g_szTrace, nullptr);
}

BSTR ReadText(IContact* pContact, HRESULT(STDMETHODCALLTYPE* pfnGet)(IContact*, BSTR*)) {
    BSTR bstrText = nullptr;
    if (pfnGet(pContact, &bstrText) != S_OK || !bstrText) {
        SysFreeString(bstrText);
        return SysAllocString(u"");
    }
    return bstrText;
}

void EnterCom() {
    DebugTrace(u"+InitPoom->CoInitializeEx", nullptr);
    HRESULT hr = CoInitializeEx(nullptr, 0);
    DebugTrace(u"-InitPoom->CoInitializeEx", nullptr);
    if (hr == S_FALSE) {
        DebugTrace(u"InitPoom->Warning: the COM library is already initialized!", nullptr);
    }
    if (hr == S_OK || hr == S_FALSE) {
        ++g_iComEntered;
    }
}

BOOL CreateApplication() {
    DebugTrace(u"+InitPoom->CoCreateInstance", nullptr);
    HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IPOutlookApp, reinterpret_cast<void**>(&g_polApp));
    DebugTrace(u"-InitPoom->CoCreateInstance", nullptr);
    if (hr == REGDB_E_CLASSNOTREG) {
        DebugTrace(u"InitPoom->Error: This class, CLSCTX_INPROC_SERVER, is not registered in "
                   u"the registration database!",
                   nullptr);
    } else if (hr == CLASS_E_NOAGGREGATION) {
        DebugTrace(u"InitPoom->Error: This class cannot be created as part of an aggregate!",
                   nullptr);
    }
    if (FAILED(hr)) {
        g_polApp = nullptr;
        return FALSE;
    }
    return TRUE;
}

void TraceVersion() {
    BSTR bstrVersion = nullptr;
    if (g_polApp->lpVtbl->get_Version(g_polApp, &bstrVersion) == S_OK && bstrVersion) {
        TracePrintf(u"InitPoom->Get POOM Version : %s", bstrVersion);
    }
    SysFreeString(bstrVersion);
}

template <typename Interface>
void ReleaseHeld(Interface** ppHeld, LPCWSTR pszBefore, LPCWSTR pszAfter) {
    if (!*ppHeld) {
        return;
    }
    DebugTrace(pszBefore, nullptr);
    (*ppHeld)->lpVtbl->Release(*ppHeld);
    *ppHeld = nullptr;
    DebugTrace(pszAfter, nullptr);
}

} // namespace

BOOL InitPoom(HWND hOwner) {
    DebugTrace(u"+InitPoom", nullptr);
    EnterCom();
    if (g_iComEntered == 0) {
        DebugTrace(u"InitPoom->Error: Failed to initialize COM Interface!", nullptr);
        DebugTrace(u"-InitPoom", nullptr);
        return FALSE;
    }
    if (!CreateApplication()) {
        DebugTrace(u"-InitPoom", nullptr);
        return FALSE;
    }
    DebugTrace(u"+InitPoom->g_polApp->Logon", nullptr);
    HRESULT hr = g_polApp->lpVtbl->Logon(g_polApp, static_cast<LONG>(static_cast<DWORD>(hOwner)));
    DebugTrace(u"-InitPoom->g_polApp->Logon", nullptr);
    if (hr == S_FALSE) {
        DebugTrace(u"InitPoom->Warning: The user is already logged on!", nullptr);
    }
    TraceVersion();
    BOOL bFound = GetContactsSetInFolder();
    if (!bFound) {
        DebugTrace(u"InitPoom->Error: No Collection Set of Contacts be found!", nullptr);
    }
    DebugTrace(u"-InitPoom", nullptr);
    return bFound;
}

BOOL GetContactsSetInFolder() {
    DebugTrace(u"+GetContactsSetInFolder", nullptr);
    BOOL bResult = FALSE;
    DebugTrace(u"+GetTotalNumberOfContacts->g_polApp->GetDefaultFolder", nullptr);
    HRESULT hr = g_polApp->lpVtbl->GetDefaultFolder(g_polApp, olFolderContacts, &g_pContactFolder);
    DebugTrace(u"-GetTotalNumberOfContacts->g_polApp->GetDefaultFolder", nullptr);
    if (FAILED(hr) || !g_pContactFolder) {
        g_pContactFolder = nullptr;
        DebugTrace(u"GetTotalNumberOfContacts->Error: Failed to get the Default Folder in "
                   u"GetDefaultFolder function!",
                   nullptr);
    } else {
        DebugTrace(u"+GetTotalNumberOfContacts->g_pContactFolder->get_Items", nullptr);
        hr = g_pContactFolder->lpVtbl->get_Items(g_pContactFolder, &g_pCollectionContacts);
        DebugTrace(u"-GetTotalNumberOfContacts->g_pContactFolder->get_Items", nullptr);
        if (FAILED(hr) || !g_pCollectionContacts) {
            g_pCollectionContacts = nullptr;
            DebugTrace(u"GetTotalNumberOfContacts->Error: Failed to get item in get_Items "
                       u"function!",
                       nullptr);
        } else {
            bResult = TRUE;
        }
    }
    DebugTrace(u"-GetContactsSetInFolder", nullptr);
    return bResult;
}

int GetTotalNumberOfContacts() {
    DebugTrace(u"+GetTotalNumberOfContacts", nullptr);
    int iCount = 0;
    if (g_pCollectionContacts &&
        g_pCollectionContacts->lpVtbl->get_Count(g_pCollectionContacts, &iCount) != S_OK) {
        iCount = 0;
    }
    TracePrintf(u"GetTotalNumberOfContacts: #Number = %d", iCount);
    DebugTrace(u"-GetTotalNumberOfContacts", nullptr);
    return iCount;
}

BOOL GetContacts(int iIndex, IContact** ppContact) {
    DebugTrace(u"+GetContacts", nullptr);
    TracePrintf(u"GetContacts->g_pCollectionContacts->Item: %d", iIndex);
    IDispatch* pItem = nullptr;
    HRESULT hr = g_pCollectionContacts
                     ? g_pCollectionContacts->lpVtbl->Item(g_pCollectionContacts, iIndex, &pItem)
                     : E_FAIL;
    BOOL bFound = SUCCEEDED(hr) && pItem;
    if (!bFound) {
        DebugTrace(u"+GetContacts->Warning: No any item in Collection Set of Contacts!", nullptr);
    }
    *ppContact = bFound ? reinterpret_cast<IContact*>(pItem) : nullptr;
    DebugTrace(u"-GetContacts", nullptr);
    return bFound;
}

BOOL GetDataFromContacts(IContact* pContact, BSTR* pFirst, BSTR* pMiddle, BSTR* pLast,
                         BSTR* pBusiness, BSTR* pHome, BSTR* pMobile) {
    DebugTrace(u"+GetDataFromContacts", nullptr);
    *pFirst = ReadText(pContact, pContact->lpVtbl->get_FirstName);
    *pMiddle = ReadText(pContact, pContact->lpVtbl->get_MiddleName);
    *pLast = ReadText(pContact, pContact->lpVtbl->get_LastName);
    *pBusiness = ReadText(pContact, pContact->lpVtbl->get_BusinessTelephoneNumber);
    *pHome = ReadText(pContact, pContact->lpVtbl->get_HomeTelephoneNumber);
    *pMobile = ReadText(pContact, pContact->lpVtbl->get_MobileTelephoneNumber);
    pContact->lpVtbl->Release(pContact);
    DebugTrace(u"-GetDataFromContacts", nullptr);
    return TRUE;
}

// Also leaves COM as often as InitPoom entered it.
void ReleasePOOM() {
    DebugTrace(u"+ReleasePOOM()", nullptr);
    ReleaseHeld(&g_pCollectionContacts, u"+g_pCollectionContacts->Release()",
                u"-g_pCollectionContacts->Release()");
    ReleaseHeld(&g_pContactFolder, u"+g_pContactFolder->Release()",
                u"-g_pContactFolder->Release()");
    if (g_polApp) {
        DebugTrace(u"+g_polApp->Logoff() & Release()", nullptr);
        g_polApp->lpVtbl->Logoff(g_polApp);
        g_polApp->lpVtbl->Release(g_polApp);
        g_polApp = nullptr;
        DebugTrace(u"-g_polApp->Logoff() & Release()", nullptr);
    }
    for (; g_iComEntered > 0; --g_iComEntered) {
        CoUninitialize();
    }
    DebugTrace(u"-ReleasePOOM()", nullptr);
}

BOOL IsPoomHeld() {
    return g_pCollectionContacts != nullptr;
}

BOOL SimInitial(SIMCALLBACK pfnCallback, DWORD dwParam) {
    DebugTrace(u"+SimInitial", nullptr);
    HRESULT hr = pfnCallback
                     ? SimInitialize(SIM_INIT_SIMCARD_NOTIFICATIONS, pfnCallback, dwParam, &g_hSim)
                     : SimInitialize(0, nullptr, 0, &g_hSim);
    if (FAILED(hr)) {
        g_hSim = nullptr;
        NKDbgPrintfW(u"%s: %s", QUORREL_NAME,
                     u"Error: Failed to initialize SIM API,\n       see the SIM_E_ error "
                     u"constants of the SIM library for the reason.\n");
    }
    DebugTrace(u"-SimInitial", nullptr);
    return SUCCEEDED(hr);
}

BOOL GetSIMStatus() {
    DebugTrace(u"+GetSIMStatus", nullptr);
    SIMCAPS caps;
    memset(&caps, 0, sizeof(caps));
    caps.cbSize = sizeof(caps);
    DebugTrace(u"+GetSIMStatus->SimGetDevCaps", nullptr);
    HRESULT hr = SimGetDevCaps(g_hSim, SIM_CAPSTYPE_ALL, &caps);
    DebugTrace(u"-GetSIMStatus->SimGetDevCaps", nullptr);
    DebugTrace(FAILED(hr) ? u"GetSIMStatus->Error : No SIM card and Failed to run SimGetDevCaps "
                            u"failed function!"
                          : u"GetSIMStatus->: Have SIM Card!",
               nullptr);
    DWORD dwUsed = 0;
    DWORD dwTotal = 0;
    DebugTrace(u"+GetSIMStatus->SimGetPhonebookStatus", nullptr);
    hr = SimGetPhonebookStatus(g_hSim, kSimStorage, &dwUsed, &dwTotal);
    DebugTrace(u"-GetSIMStatus->SimGetPhonebookStatus", nullptr);
    if (FAILED(hr)) {
        DebugTrace(u"GetSIMStatus->Error : Failed to run SimGetPhonebookStatus function!", nullptr);
        return FALSE;
    }
    g_dwUsed = dwUsed;
    g_dwTotal = dwTotal;
    DebugTrace(u"-GetSIMStatus", nullptr);
    return TRUE;
}

BOOL AddDataToSIM(LPCWSTR pszName, LPCWSTR pszNumber) {
    SIMPHONEBOOKENTRY entry;
    memset(&entry, 0, sizeof(entry));
    entry.cbSize = sizeof(entry);
    entry.dwParams = SIM_PARAM_PBE_ALL;
    entry.dwNumPlan = SIM_NUMPLAN_TELEPHONE;
    entry.dwAddressType = 0;
    StringCchCopyW(entry.lpszText, MAX_LENGTH_PHONEBOOKENTRYTEXT, pszName ? pszName : u"");
    if (pszNumber) {
        if (pszNumber[0] == u'+') {
            entry.dwAddressType = SIM_ADDRTYPE_INTERNATIONAL;
            ++pszNumber;
        }
        StringCchCopyW(entry.lpszAddress, MAX_LENGTH_ADDRESS, pszNumber);
    }
    HRESULT hr = SimWritePhonebookEntry(g_hSim, kSimStorage, kFirstFree, &entry);
    if (FAILED(hr)) {
        NKDbgPrintfW(u"%s: Error : >>> Failed to write data to SIM card !!! <<<\n", QUORREL_NAME);
        return FALSE;
    }
    NKDbgPrintfW(u"%s: Success to Add one data to SIM card !\n", QUORREL_NAME);
    return TRUE;
}

void ReleaseSIM() {
    DebugTrace(u"+ReleaseSIM->SimDeinitialize", nullptr);
    if (g_hSim) {
        SimDeinitialize(g_hSim);
        g_hSim = nullptr;
    }
    DebugTrace(u"-ReleaseSIM->SimDeinitialize", nullptr);
}
