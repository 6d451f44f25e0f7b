// The COM run-time of the handset: thread initialisation, creation of in-process objects, the
// base interfaces and the status codes that COM calls answer with.
//
// Interfaces are C-style records: the first member points to a table of functions, and every
// function takes the interface pointer first, so a call reads `p->lpVtbl->Method(p, ...)`.
#pragma once

#include <windef.h>

// Status codes. Other headers may define the same values; each is defined once.
#ifndef E_UNEXPECTED
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#endif
#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)0x80004002)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif
#ifndef CLASS_E_NOAGGREGATION
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#endif
#ifndef CLASS_E_CLASSNOTAVAILABLE
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#endif
#ifndef REGDB_E_CLASSNOTREG
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#endif
#ifndef CO_E_NOTINITIALIZED
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)
#endif
#ifndef CO_E_ERRORINDLL
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9)
#endif
#ifndef CO_E_CLASSSTRING
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3)
#endif
#ifndef RPC_E_CHANGED_MODE
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)
#endif

// CoInitializeEx concurrency models.
#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

// Execution contexts of CoCreateInstance. The handset serves in-process classes only.
#define CLSCTX_INPROC_SERVER 0x1

// Interface and class identifiers are constants local to each file that uses them. Shared
// (inline) variables would be GNU unique symbols, and a library holding one can never be
// unloaded, which an in-process server must be.

// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000001-0000-0000-C000-000000000046}
constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown;
struct IUnknownVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IUnknown* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IUnknown* This);
    ULONG(STDMETHODCALLTYPE* Release)(IUnknown* This);
};
struct IUnknown {
    const IUnknownVtbl* lpVtbl;
};
typedef IUnknown* LPUNKNOWN;

struct IClassFactory;
struct IClassFactoryVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IClassFactory* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(IClassFactory* This);
    ULONG(STDMETHODCALLTYPE* Release)(IClassFactory* This);
    HRESULT(STDMETHODCALLTYPE* CreateInstance)
    (IClassFactory* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObject);
    HRESULT(STDMETHODCALLTYPE* LockServer)(IClassFactory* This, BOOL fLock);
};
struct IClassFactory {
    const IClassFactoryVtbl* lpVtbl;
};
typedef IClassFactory* LPCLASSFACTORY;

// The exports that an in-process server library offers, found by name.
typedef HRESULT(STDMETHODCALLTYPE* LPFNGETCLASSOBJECT)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
typedef HRESULT(STDMETHODCALLTYPE* LPFNCANUNLOADNOW)(void);

// S_OK the first time on a thread, S_FALSE on each further call with the same model (each call
// still needs its CoUninitialize), RPC_E_CHANGED_MODE for the other model, E_INVALIDARG for a
// reserved pointer or unknown flags.
STDAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
extern "C" void STDMETHODCALLTYPE CoUninitialize(void);

// Creates an object of an in-process class: one of the platform's own classes, or one registered
// under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32, whose library is loaded and asked for its
// class factory. *ppv is NULL on every failure.
STDAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                        LPVOID* ppv);

// Reads a class identifier as the registry spells it, "{05058F23-20BE-11D2-8F18-0000F87A4335}".
// CO_E_CLASSSTRING for any other text (*pclsid is then all zeros), E_INVALIDARG for a null
// argument.
STDAPI CLSIDFromString(LPCWSTR lpsz, CLSID* pclsid);
