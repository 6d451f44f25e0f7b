#include "base/kernel_objects.h"

#include "base/handle_table.h"

#include <winbase.h>

namespace handset {

namespace {

HandleTable<std::shared_ptr<KernelObject>>& kernel_table() {
    // Never destroyed: detached threads may close handles while the process exits.
    static auto* table = new HandleTable<std::shared_ptr<KernelObject>>;
    return *table;
}

} // namespace

HANDLE add_kernel_object(std::shared_ptr<KernelObject> object) {
    return HANDLE(kernel_table().add(std::move(object)));
}

bool close_kernel_object(HANDLE handle) {
    return kernel_table().remove(handle.value()).has_value();
}

} // namespace handset

BOOL CloseHandle(HANDLE object) {
    if (!handset::close_kernel_object(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
