// An in-process server written the way a third-party library for the device is: plain records
// with hand-written function tables, a class factory, and a count of live objects that decides
// DllCanUnloadNow.
#include "test_counter.h"

#include <atomic>

namespace {

std::atomic<int> live_objects{0};

struct Counter {
    ITestCounter iface;
    std::atomic<ULONG> references;
    LONG value;
};

HRESULT STDMETHODCALLTYPE counter_query_interface(ITestCounter* self, REFIID iid, void** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ITestCounter)) {
        return E_NOINTERFACE;
    }
    *out = self;
    self->lpVtbl->AddRef(self);
    return S_OK;
}

ULONG STDMETHODCALLTYPE counter_add_ref(ITestCounter* self) {
    return ++reinterpret_cast<Counter*>(self)->references;
}

ULONG STDMETHODCALLTYPE counter_release(ITestCounter* self) {
    auto* counter = reinterpret_cast<Counter*>(self);
    const ULONG left = --counter->references;
    if (left == 0) {
        delete counter;
        --live_objects;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE counter_increment(ITestCounter* self, LONG* value) {
    *value = ++reinterpret_cast<Counter*>(self)->value;
    return S_OK;
}

const ITestCounterVtbl counter_table = {counter_query_interface, counter_add_ref, counter_release,
                                        counter_increment};

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

// One static factory; each reference handed out counts as a live object.
ULONG STDMETHODCALLTYPE factory_add_ref(IClassFactory*) {
    return ++live_objects;
}
ULONG STDMETHODCALLTYPE factory_release(IClassFactory*) {
    return --live_objects;
}

HRESULT STDMETHODCALLTYPE factory_create_instance(IClassFactory*, IUnknown* outer, REFIID iid,
                                                  void** out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* counter = new Counter{{&counter_table}, 1, 0};
    ++live_objects;
    const HRESULT status = counter_query_interface(&counter->iface, iid, out);
    counter_release(&counter->iface);
    return status;
}

HRESULT STDMETHODCALLTYPE factory_lock_server(IClassFactory*, BOOL) {
    return S_OK;
}

const IClassFactoryVtbl factory_table = {factory_query_interface, factory_add_ref, factory_release,
                                         factory_create_instance, factory_lock_server};
IClassFactory factory = {&factory_table};

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT
DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_TestCounter)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory_query_interface(&factory, iid, out);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return live_objects == 0 ? S_OK : S_FALSE;
}
