// The public COM calls: thread initialisation and creation of in-process objects.
#include "base/debug_output.h"
#include "com/builtin_classes.h"
#include "com/class_libraries.h"
#include "com/guid_text.h"
#include "com/thread_initialization.h"

#include <objbase.h>

#include <atomic>

namespace {

// Threads with an open initialisation. When it falls to zero nothing can be creating objects, so
// libraries without live objects may go.
std::atomic<int> initialized_threads{0};

constexpr DWORD known_models = COINIT_MULTITHREADED | COINIT_APARTMENTTHREADED;

HRESULT create_from_library(REFCLSID clsid, LPUNKNOWN outer, REFIID iid, LPVOID* out) {
    IClassFactory* factory = nullptr;
    HRESULT status = handset::ClassLibraries::instance().class_factory(clsid, &factory);
    if (FAILED(status)) {
        return status;
    }
    status = factory->lpVtbl->CreateInstance(factory, outer, iid, out);
    factory->lpVtbl->Release(factory);
    if (FAILED(status)) {
        *out = nullptr;
    }
    return status;
}

} // namespace

STDAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    if (pvReserved != nullptr || (dwCoInit & ~known_models) != 0) {
        return E_INVALIDARG;
    }
    const HRESULT status = handset::ThreadInitialization::current().open(dwCoInit);
    if (status == S_OK) {
        initialized_threads.fetch_add(1);
    }
    return status;
}

extern "C" void STDMETHODCALLTYPE CoUninitialize(void) {
    if (handset::ThreadInitialization::current().close() && initialized_threads.fetch_sub(1) == 1) {
        handset::ClassLibraries::instance().free_unused();
    }
}

STDAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                        LPVOID* ppv) {
    if (ppv == nullptr) {
        return E_INVALIDARG;
    }
    *ppv = nullptr;
    if (!handset::ThreadInitialization::current().is_open()) {
        handset::debug_line("CoCreateInstance: COM is not initialised on this thread");
        return CO_E_NOTINITIALIZED;
    }
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    if (handset::BuiltinClassCreator creator = handset::BuiltinClasses::instance().find(rclsid)) {
        return pUnkOuter != nullptr ? CLASS_E_NOAGGREGATION : creator(riid, ppv);
    }
    return create_from_library(rclsid, pUnkOuter, riid, ppv);
}

STDAPI CLSIDFromString(LPCWSTR lpsz, CLSID* pclsid) {
    if (lpsz == nullptr || pclsid == nullptr) {
        return E_INVALIDARG;
    }
    const std::optional<GUID> clsid = handset::guid_from_text(lpsz);
    *pclsid = clsid.value_or(GUID{});
    return clsid ? S_OK : CO_E_CLASSSTRING;
}
