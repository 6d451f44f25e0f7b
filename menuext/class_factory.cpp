// The library's exports and its class factory. Reference counts are plain integers: everything
// runs on the Contacts application's user-interface thread.
#include "menuext/quorrel.h"

#include <cstdlib>
#include <cstring>

#define QUORREL_EXPORT extern "C" __attribute__((visibility("default")))

HINSTANCE g_hInstance = nullptr;
LONG g_cObjects = 0;

namespace {

struct CMenuExtClassFactory {
    const IClassFactoryVtbl* lpVtbl;
    LONG cRef;
};

bool IsEqual(REFIID a, REFIID b) {
    return memcmp(&a, &b, sizeof(IID)) == 0;
}

CMenuExtClassFactory* FactoryOf(IClassFactory* This) {
    return reinterpret_cast<CMenuExtClassFactory*>(This);
}

HRESULT STDMETHODCALLTYPE FactoryQueryInterface(IClassFactory* This, REFIID riid, void** ppv) {
    NKDbgPrintfW(u" %s: CMenuExtClassFactory::QueryInterface !\n", QUORREL_NAME);
    if (!ppv) {
        return E_INVALIDARG;
    }
    *ppv = nullptr;
    if (!IsEqual(riid, IID_IUnknown) && !IsEqual(riid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *ppv = This;
    This->lpVtbl->AddRef(This);
    return S_OK;
}

ULONG STDMETHODCALLTYPE FactoryAddRef(IClassFactory* This) {
    return static_cast<ULONG>(++FactoryOf(This)->cRef);
}

ULONG STDMETHODCALLTYPE FactoryRelease(IClassFactory* This) {
    CMenuExtClassFactory* pFactory = FactoryOf(This);
    if (--pFactory->cRef != 0) {
        return static_cast<ULONG>(pFactory->cRef);
    }
    --g_cObjects;
    free(pFactory);
    return 0;
}

HRESULT STDMETHODCALLTYPE FactoryCreateInstance(IClassFactory*, IUnknown* pUnkOuter, REFIID riid,
                                                void** ppv) {
    NKDbgPrintfW(u" %s: CMenuExtClassFactory::CreateInstance !\n", QUORREL_NAME);
    if (!ppv) {
        return E_INVALIDARG;
    }
    *ppv = nullptr;
    if (pUnkOuter) {
        return CLASS_E_NOAGGREGATION;
    }
    IUnknown* pObject = CreateMenuExt();
    if (!pObject) {
        return E_OUTOFMEMORY;
    }
    // The new object's count is 0: a failed QueryInterface leaves nothing to release it, so it
    // goes through one reference of its own.
    pObject->lpVtbl->AddRef(pObject);
    HRESULT hr = pObject->lpVtbl->QueryInterface(pObject, riid, ppv);
    pObject->lpVtbl->Release(pObject);
    return hr;
}

// Registration is data in the device's registry, written by its installer: the library itself
// registers nothing. The lock asks for nothing either; only live objects keep the library.
HRESULT STDMETHODCALLTYPE NothingToDo() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FactoryLockServer(IClassFactory*, BOOL) {
    return NothingToDo();
}

const IClassFactoryVtbl kFactoryVtbl = {FactoryQueryInterface, FactoryAddRef, FactoryRelease,
                                        FactoryCreateInstance, FactoryLockServer};

} // namespace

QUORREL_EXPORT BOOL WINAPI DllMain(HINSTANCE hModule, DWORD dwReason, LPVOID) {
    DebugTrace(u"+DllMain->APIENTRY DllMain!", nullptr);
    if (dwReason == DLL_PROCESS_ATTACH) {
        DebugTrace(u"DllMain->DisableThreadLibraryCalls", nullptr);
        DisableThreadLibraryCalls(hModule);
        g_hInstance = hModule;
    } else if (dwReason == DLL_PROCESS_DETACH && g_bMUILoaded) {
        // A language module still loaded when the library goes would be left behind.
        ReleaseMUI();
    }
    DebugTrace(u"-DllMain->APIENTRY DllMain!", nullptr);
    return TRUE;
}

QUORREL_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid,
                                                           LPVOID* ppv) {
    if (!ppv) {
        return E_INVALIDARG;
    }
    *ppv = nullptr;
    if (!IsEqual(rclsid, CLSID_MenuExt)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* pFactory = static_cast<CMenuExtClassFactory*>(malloc(sizeof(CMenuExtClassFactory)));
    if (!pFactory) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    pFactory->lpVtbl = &kFactoryVtbl;
    pFactory->cRef = 0;
    ++g_cObjects;
    IClassFactory* pInterface = reinterpret_cast<IClassFactory*>(pFactory);
    pInterface->lpVtbl->AddRef(pInterface);
    HRESULT hr = pInterface->lpVtbl->QueryInterface(pInterface, riid, ppv);
    pInterface->lpVtbl->Release(pInterface);
    return hr;
}

QUORREL_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    DebugTrace(u"+DllCanUnloadNow", nullptr);
    return g_cObjects != 0 ? S_FALSE : S_OK;
}

QUORREL_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    return NothingToDo();
}

QUORREL_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    return NothingToDo();
}

void DebugTrace(LPCWSTR pszText, LPCWSTR pszTag) {
    if (pszTag) {
        NKDbgPrintfW(u"%s <%s>: %s\r\n", QUORREL_NAME, pszTag, pszText);
    } else {
        NKDbgPrintfW(u"%s: %s\r\n", QUORREL_NAME, pszText);
    }
}
