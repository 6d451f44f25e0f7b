// Ties one interface record of a platform COM object to the object, so that a function of the
// interface's table, which receives only the interface pointer, finds its object.
#pragma once

#include <type_traits>

namespace handset {

// The interface record comes first in a standard-layout struct, so the interface pointer handed
// out and the binding share one address and converting between them is well defined.
template <typename Interface, typename Object>
struct InterfaceBinding {
    Interface iface;
    Object* object;

    static Object* object_of(Interface* iface) {
        return reinterpret_cast<InterfaceBinding*>(iface)->object;
    }
};

template <typename Interface, typename Object>
inline constexpr bool binding_is_sound =
    std::is_standard_layout_v<InterfaceBinding<Interface, Object>>;

} // namespace handset
