#include "entry/device_preparation.h"

#include "device/device_initialiser.h"

namespace handset {

bool prepare_device() {
    return ensure_device();
}

} // namespace handset
