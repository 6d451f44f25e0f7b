// Steps that the drawing calls share: finding the DC, its font's glyphs, and a painter clipped
// to it. Every function expects the GDI lock held.
#pragma once

#include "gdi/device_context.h"
#include "gdi/gdi_lock.h"
#include "gdi/glyph_cache.h"
#include "gdi/painter.h"

#include <memory>

namespace handset {

std::shared_ptr<DeviceContext> find_dc(const GdiGuard& guard, HDC dc);
int screen_dpi(const GdiGuard& guard);
// nullptr when no font file is to be had.
GlyphCache* selected_glyphs(const GdiGuard& guard, DeviceContext& dc);
Painter painter_for(const GdiGuard& guard, DeviceContext& dc);
// As painter_for, cut further to `device_rect`.
Painter painter_within(const GdiGuard& guard, DeviceContext& dc, const RECT& device_rect);
// Reports what the painter drew to the display.
void finish_painting(const GdiGuard& guard, DeviceContext& dc, const Painter& painter);

// Runs work(guard, dc) with the lock held on the DC that `handle` names, or answers `failure`.
template <typename Result, typename Work>
Result with_dc(HDC handle, Result failure, Work work) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, handle);
    return dc == nullptr ? failure : work(guard, *dc);
}

// Runs draw(guard, dc, painter) with a painter over the DC and reports what it drew. Its answer
// (true when the call succeeded) becomes TRUE or FALSE; FALSE as well for an unknown DC.
template <typename Draw>
BOOL paint_dc(HDC handle, Draw draw) {
    return with_dc(handle, FALSE, [&](const GdiGuard& guard, DeviceContext& dc) {
        Painter painter = painter_for(guard, dc);
        const bool done = draw(guard, dc, painter);
        finish_painting(guard, dc, painter);
        return done ? TRUE : FALSE;
    });
}

} // namespace handset
