#include "user/window.h"

#include <wingdi.h>

namespace handset {

bool Window::has_caption() const {
    return (style & WS_CAPTION) == WS_CAPTION && !caption_in_task_bar;
}

RECT Window::frame_insets() const {
    RECT insets{0, 0, 0, 0};
    if ((style & (WS_BORDER | WS_DLGFRAME)) != 0) {
        const LONG x = GetSystemMetrics(SM_CXBORDER);
        const LONG y = GetSystemMetrics(SM_CYBORDER);
        insets = RECT{x, y, x, y};
    }
    if (has_caption()) {
        insets.top += GetSystemMetrics(SM_CYCAPTION);
    }
    return insets;
}

RECT Window::client_in_window() const {
    const RECT insets = frame_insets();
    RECT client{insets.left, insets.top, width() - insets.right, height() - insets.bottom};
    if (client.right < client.left) {
        client.right = client.left;
    }
    if (client.bottom < client.top) {
        client.bottom = client.top;
    }
    return client;
}

} // namespace handset
