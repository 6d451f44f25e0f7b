// The device a program starts on. Kept apart from the runner because the device module's
// options and the drawing layer's screen both name a ScreenProfile of their own in one namespace,
// and no file can include both.
#pragma once

namespace handset {

// The device in device_folder(), made with its defaults when there is none yet.
bool prepare_device();

} // namespace handset
