#include "user/errors.h"

#include "base/debug_output.h"

namespace handset {

void fail(DWORD error, const char* function, const char* what) {
    debug_printf("%s: %s", function, what);
    SetLastError(error);
}

void fail_bad_window(const char* function, HWND window) {
    debug_printf("%s: 0x%08x is not a window", function, window.value());
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
}

} // namespace handset
