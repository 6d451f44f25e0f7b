// The common part of the platform's own COM objects: a thread-safe reference count that deletes
// the object at zero, and QueryInterface over the interfaces the object names.
#pragma once

#include "com/interface_binding.h"

#include <objbase.h>

#include <atomic>

namespace handset {

class ComObject {
  public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Objects are shared between threads without the callers' locks (a contacts reader thread
    // next to the user-interface thread), so the count is atomic.
    ULONG add_ref() { return m_references.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG release() {
        const ULONG left = m_references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT query_interface(REFIID iid, void** out) {
        if (out == nullptr) {
            return E_INVALIDARG;
        }
        *out = find_interface(iid);
        if (*out == nullptr) {
            return E_NOINTERFACE;
        }
        add_ref();
        return S_OK;
    }

  protected:
    virtual ~ComObject() = default;

    // The interface record for iid, or nullptr; IUnknown must be among them.
    virtual void* find_interface(REFIID iid) = 0;

  private:
    // A new object starts with the one reference its creator hands out.
    std::atomic<ULONG> m_references{1};
};

// The three IUnknown entries of an interface table, forwarded to the object bound to it.
template <typename Interface, typename Object>
struct UnknownEntries {
    using Binding = InterfaceBinding<Interface, Object>;
    static_assert(binding_is_sound<Interface, Object>);

    static HRESULT STDMETHODCALLTYPE query_interface(Interface* self, REFIID iid, void** out) {
        return Binding::object_of(self)->query_interface(iid, out);
    }
    static ULONG STDMETHODCALLTYPE add_ref(Interface* self) {
        return Binding::object_of(self)->add_ref();
    }
    static ULONG STDMETHODCALLTYPE release(Interface* self) {
        return Binding::object_of(self)->release();
    }
};

} // namespace handset
