// The shell's windows over a band of the screen (task bar, menu bars, input panel): top-level
// popups that never take the activation or the focus from the program's windows.
#pragma once

#include <winuser.h>

namespace handset {

struct BandWindowRequest {
    LPCWSTR class_name = nullptr;
    RECT band{};
    HWND owner; // 0 for the shell's own windows
    bool topmost = false;
    bool shown = true;
    LPVOID parameter = nullptr; // CREATESTRUCT's lpCreateParams
};

// 0 when the window cannot be made.
HWND create_band_window(const BandWindowRequest& request);

} // namespace handset
