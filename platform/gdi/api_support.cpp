#include "gdi/api_support.h"

#include "gdi/dc_store.h"
#include "gdi/font_cache.h"
#include "gdi/screen.h"

namespace handset {

std::shared_ptr<DeviceContext> find_dc(const GdiGuard& guard, HDC dc) {
    return DcStore::instance(guard).find(guard, dc);
}

int screen_dpi(const GdiGuard& guard) {
    return Screen::instance().profile(guard).dpi;
}

GlyphCache* selected_glyphs(const GdiGuard& guard, DeviceContext& dc) {
    return FontCache::instance(guard).realize(guard, dc.font_data(), screen_dpi(guard));
}

Painter painter_for(const GdiGuard& guard, DeviceContext& dc) {
    return Painter(dc.target(guard), dc.clip(guard));
}

Painter painter_within(const GdiGuard& guard, DeviceContext& dc, const RECT& device_rect) {
    ClipRegion clip = dc.clip(guard);
    clip.intersect(device_rect);
    return Painter(dc.target(guard), std::move(clip));
}

void finish_painting(const GdiGuard& guard, DeviceContext& dc, const Painter& painter) {
    dc.drew(guard, painter.drawn());
}

} // namespace handset
