// Closing the program as the device's shell closes one: each of the program's own top-level
// windows that no other window owns gets WM_CLOSE, so the program ends its normal way. The
// shell's windows (task bar, input panel, menu bars) and open popup menus are not the program's.
#pragma once

namespace handset {

// Any thread may call it; the requests are posted.
void request_program_close();

// Whether the program has a window that a close request would reach; until its first, a request
// would be lost.
bool program_has_window();

} // namespace handset
