// The live image lists, for the controls that draw from one by its handle.
#pragma once

#include "commctrl/image_list.h"

#include <memory>

namespace handset {

// nullptr for a handle that names no live list (0, destroyed, or never made).
std::shared_ptr<ImageList> find_image_list(HIMAGELIST list);

} // namespace handset
