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

} // namespace handset
