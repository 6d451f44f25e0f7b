// The kernel objects that HANDLE values stand for (threads now; processes and events when a
// module needs them). Every module registers its objects here, so CloseHandle closes any of them.
#pragma once

#include <windef.h>

#include <memory>

namespace handset {

class KernelObject {
  public:
    virtual ~KernelObject() = default;
};

// 0 (none) when the table is full.
HANDLE add_kernel_object(std::shared_ptr<KernelObject> object);
// False when the handle was not open.
bool close_kernel_object(HANDLE handle);

} // namespace handset
