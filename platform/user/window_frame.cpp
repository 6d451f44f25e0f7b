#include "user/window_frame.h"

#include "gdi/screen_dc.h"
#include "user/invalidation.h"
#include "user/window_system.h"

#include <wingdi.h>

#include <string>

namespace handset {

namespace {

struct FrameLayout {
    ClipRegion visible;
    POINT origin{};
    LONG width = 0;
    LONG height = 0;
    RECT insets{};
    LONG border = 0;
    bool caption = false;
    bool active = false;
    std::u16string title;
};

bool read_layout(HWND window, FrameLayout& layout) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find(lock, window);
    if (entry == nullptr) {
        return false;
    }
    layout.visible = visible_region(lock, *entry, false);
    layout.visible.subtract(client_screen_rect(lock, *entry));
    layout.origin = system.window_origin(lock, *entry);
    layout.width = entry->width();
    layout.height = entry->height();
    layout.insets = entry->frame_insets();
    layout.border = (entry->style & (WS_BORDER | WS_DLGFRAME)) != 0 ? layout.insets.left : 0;
    layout.caption = entry->has_caption();
    layout.active = system.active(lock) == system.root_of(lock, *entry).handle;
    layout.title = entry->text;
    return !layout.visible.is_empty();
}

void draw_border(HDC dc, const FrameLayout& layout) {
    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOWFRAME);
    for (LONG step = 0; step < layout.border; ++step) {
        const RECT ring{step, step, layout.width - step, layout.height - step};
        FrameRect(dc, &ring, brush);
    }
}

void draw_caption(HDC dc, const FrameLayout& layout) {
    RECT bar{layout.insets.left, layout.border, layout.width - layout.insets.right,
             layout.insets.top};
    FillRect(dc, &bar,
             GetSysColorBrush(layout.active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(layout.active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    const LONG padding = (bar.bottom - bar.top) / 4;
    bar.left += padding;
    bar.right -= padding;
    DrawTextW(dc, layout.title.c_str(), static_cast<int>(layout.title.size()), &bar,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

} // namespace

void paint_frame(HWND window) {
    FrameLayout layout;
    if (!read_layout(window, layout)) {
        return;
    }
    const HDC dc = create_screen_dc(layout.origin, layout.visible);
    draw_border(dc, layout);
    if (layout.caption) {
        draw_caption(dc, layout);
    }
    release_screen_dc(dc);
}

} // namespace handset
