// Lines, rectangles and single pixels.
#include "gdi/api_support.h"
#include "gdi/object_store.h"
#include "gdi/rect_math.h"

#include <wingdi.h>

#include <algorithm>

using namespace handset;

namespace {

RECT normalized(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
}

RECT deflated(const RECT& r, LONG by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// Fills the band between `outer` and `inner` (the frame left when `inner` is cut out).
void fill_frame(Painter& painter, const RECT& outer, const RECT& inner, uint32_t pixel) {
    if (rect_is_empty(inner)) {
        painter.fill(outer, pixel);
        return;
    }
    painter.fill(RECT{outer.left, outer.top, outer.right, inner.top}, pixel);
    painter.fill(RECT{outer.left, inner.bottom, outer.right, outer.bottom}, pixel);
    painter.fill(RECT{outer.left, inner.top, inner.left, inner.bottom}, pixel);
    painter.fill(RECT{inner.right, inner.top, outer.right, inner.bottom}, pixel);
}

// A dashed outline through the border pixels, each side up to the next corner.
void dash_frame(Painter& painter, const RECT& box, const PenData& pen) {
    const POINT corners[] = {{box.left, box.top},
                             {box.right - 1, box.top},
                             {box.right - 1, box.bottom - 1},
                             {box.left, box.bottom - 1}};
    for (int side = 0; side < 4; ++side) {
        painter.line(corners[side], corners[(side + 1) % 4], pen);
    }
}

// Rectangle's rule: the pen runs along the inside of the right and bottom edges, centred on the
// border for wide pens; without a pen the filled area is one pixel narrower and shorter.
void draw_rectangle(Painter& painter, const RECT& box, const PenData& pen, const BrushData& brush) {
    if (pen.style == PS_NULL) {
        if (!brush.hollow) {
            painter.fill(RECT{box.left, box.top, box.right - 1, box.bottom - 1},
                         pixel_from_colorref(brush.color));
        }
        return;
    }
    const LONG before = (pen.width - 1) / 2;
    const LONG after = pen.width - 1 - before;
    const RECT outer{box.left - before, box.top - before, box.right + after, box.bottom + after};
    const RECT inner = deflated(outer, pen.width);
    if (!brush.hollow && !rect_is_empty(inner)) {
        painter.fill(inner, pixel_from_colorref(brush.color));
    }
    if (pen.style == PS_DASH) {
        dash_frame(painter, box, pen);
    } else {
        fill_frame(painter, outer, inner, pixel_from_colorref(pen.color));
    }
}

} // namespace

BOOL WINAPI MoveToEx(HDC dc_handle, int x, int y, LPPOINT previous) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = dc->attributes().position;
    }
    dc->attributes().position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC dc_handle, int x, int y) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return FALSE;
    }
    const POINT from = dc->attributes().position;
    Painter painter = painter_for(guard, *dc);
    painter.line(dc->to_device(from.x, from.y), dc->to_device(x, y), dc->pen_data());
    finish_painting(guard, *dc, painter);
    dc->attributes().position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI Polyline(HDC dc_handle, const POINT* points, int count) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr || points == nullptr || count < 2) {
        return FALSE;
    }
    Painter painter = painter_for(guard, *dc);
    for (int i = 1; i < count; ++i) {
        painter.line(dc->to_device(points[i - 1].x, points[i - 1].y),
                     dc->to_device(points[i].x, points[i].y), dc->pen_data());
    }
    finish_painting(guard, *dc, painter);
    return TRUE;
}

BOOL WINAPI Rectangle(HDC dc_handle, int left, int top, int right, int bottom) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return FALSE;
    }
    Painter painter = painter_for(guard, *dc);
    draw_rectangle(painter, dc->to_device(normalized(left, top, right, bottom)), dc->pen_data(),
                   dc->brush_data());
    finish_painting(guard, *dc, painter);
    return TRUE;
}

int WINAPI FillRect(HDC dc_handle, const RECT* rect, HBRUSH brush_handle) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    const std::optional<BrushData> brush = ObjectStore::instance(guard).brush(guard, brush_handle);
    if (dc == nullptr || rect == nullptr || !brush) {
        return 0;
    }
    if (!brush->hollow) {
        Painter painter = painter_for(guard, *dc);
        painter.fill(dc->to_device(*rect), pixel_from_colorref(brush->color));
        finish_painting(guard, *dc, painter);
    }
    return 1;
}

int WINAPI FrameRect(HDC dc_handle, const RECT* rect, HBRUSH brush_handle) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    const std::optional<BrushData> brush = ObjectStore::instance(guard).brush(guard, brush_handle);
    if (dc == nullptr || rect == nullptr || !brush) {
        return 0;
    }
    const RECT box = dc->to_device(*rect);
    if (!brush->hollow && !rect_is_empty(box)) {
        Painter painter = painter_for(guard, *dc);
        fill_frame(painter, box, deflated(box, 1), pixel_from_colorref(brush->color));
        finish_painting(guard, *dc, painter);
    }
    return 1;
}

BOOL WINAPI DrawFocusRect(HDC dc_handle, const RECT* rect) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr || rect == nullptr) {
        return FALSE;
    }
    Painter painter = painter_for(guard, *dc);
    painter.invert_dotted_frame(dc->to_device(*rect));
    finish_painting(guard, *dc, painter);
    return TRUE;
}

BOOL WINAPI PatBlt(HDC dc_handle, int x, int y, int width, int height, DWORD rop) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    const auto operation = static_cast<uint8_t>(rop >> 16);
    if (dc == nullptr || rop_reads_source(operation)) {
        return FALSE;
    }
    const BrushData& brush = dc->brush_data();
    if (brush.hollow && rop_reads_pattern(operation)) {
        return TRUE;
    }
    Painter painter = painter_for(guard, *dc);
    painter.raster(dc->to_device(normalized(x, y, x + width, y + height)), operation,
                   pixel_from_colorref(brush.color));
    finish_painting(guard, *dc, painter);
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC dc_handle, int x, int y, COLORREF color) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const POINT at = dc->to_device(x, y);
    if (!dc->clip(guard).contains(at.x, at.y)) {
        return CLR_INVALID;
    }
    Painter painter = painter_for(guard, *dc);
    painter.set_pixel(at.x, at.y, pixel_from_colorref(color));
    finish_painting(guard, *dc, painter);
    return color & 0x00FFFFFFu;
}

COLORREF WINAPI GetPixel(HDC dc_handle, int x, int y) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const POINT at = dc->to_device(x, y);
    if (!dc->clip(guard).contains(at.x, at.y)) {
        return CLR_INVALID;
    }
    return colorref_from_pixel(dc->target(guard).pixel(at.x, at.y));
}
