// What the input devices last reported: where the stylus is, whether it is down, and which keys
// are held. Any thread may read and write it.
#pragma once

#include <windef.h>

namespace handset {

POINT stylus_position();
void set_stylus_position(POINT position);

bool key_held(UINT virtual_key);
void set_key_held(UINT virtual_key, bool held);

} // namespace handset
