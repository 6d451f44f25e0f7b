#include "aygshell/band_window.h"

#include "user/window_lifecycle.h"

namespace handset {

HWND create_band_window(const BandWindowRequest& request) {
    WindowRequest window;
    window.ex_style = request.topmost ? WS_EX_TOPMOST : 0;
    window.class_name = request.class_name;
    // Made hidden and then shown, since showing a new visible window would activate it.
    window.style = WS_POPUP;
    window.x = request.band.left;
    window.y = request.band.top;
    window.width = request.band.right - request.band.left;
    window.height = request.band.bottom - request.band.top;
    window.parent = request.owner;
    window.parameter = request.parameter;
    window.takes_activation = false;
    const HWND made = create_window(window);
    if (made && request.shown) {
        ShowWindow(made, SW_SHOWNA);
    }
    return made;
}

} // namespace handset
