// Lines, rectangles and single pixels.
#include "gdi/api_support.h"
#include "gdi/object_store.h"
#include "gdi/rect_math.h"

#include <wingdi.h>

#include <algorithm>
#include <optional>

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

// The device point of logical (x, y), when the DC may draw there.
std::optional<POINT> drawable_point(const GdiGuard& guard, DeviceContext& dc, int x, int y) {
    const POINT at = dc.to_device(x, y);
    if (!dc.clip(guard).contains(at.x, at.y)) {
        return std::nullopt;
    }
    return at;
}

} // namespace

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    return with_dc(dc, FALSE, [&](const GdiGuard&, DeviceContext& context) {
        if (previous != nullptr) {
            *previous = context.attributes().position;
        }
        context.attributes().position = POINT{x, y};
        return TRUE;
    });
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
    return paint_dc(dc, [&](const GdiGuard&, DeviceContext& context, Painter& painter) {
        POINT& position = context.attributes().position;
        painter.line(context.to_device(position.x, position.y), context.to_device(x, y),
                     context.pen_data());
        position = POINT{x, y};
        return true;
    });
}

BOOL WINAPI Polyline(HDC dc, const POINT* points, int count) {
    if (points == nullptr || count < 2) {
        return FALSE;
    }
    return paint_dc(dc, [&](const GdiGuard&, DeviceContext& context, Painter& painter) {
        for (int i = 1; i < count; ++i) {
            painter.line(context.to_device(points[i - 1].x, points[i - 1].y),
                         context.to_device(points[i].x, points[i].y), context.pen_data());
        }
        return true;
    });
}

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return paint_dc(dc, [&](const GdiGuard&, DeviceContext& context, Painter& painter) {
        draw_rectangle(painter, context.to_device(normalized(left, top, right, bottom)),
                       context.pen_data(), context.brush_data());
        return true;
    });
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush_handle) {
    if (rect == nullptr) {
        return 0;
    }
    return paint_dc(dc, [&](const GdiGuard& guard, DeviceContext& context, Painter& painter) {
        const std::optional<BrushData> brush =
            ObjectStore::instance(guard).brush(guard, brush_handle);
        if (brush && !brush->hollow) {
            painter.fill(context.to_device(*rect), pixel_from_colorref(brush->color));
        }
        return brush.has_value();
    });
}

int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush_handle) {
    if (rect == nullptr) {
        return 0;
    }
    return paint_dc(dc, [&](const GdiGuard& guard, DeviceContext& context, Painter& painter) {
        const std::optional<BrushData> brush =
            ObjectStore::instance(guard).brush(guard, brush_handle);
        const RECT box = context.to_device(*rect);
        if (brush && !brush->hollow && !rect_is_empty(box)) {
            fill_frame(painter, box, deflated(box, 1), pixel_from_colorref(brush->color));
        }
        return brush.has_value();
    });
}

BOOL WINAPI DrawFocusRect(HDC dc, const RECT* rect) {
    if (rect == nullptr) {
        return FALSE;
    }
    return paint_dc(dc, [&](const GdiGuard&, DeviceContext& context, Painter& painter) {
        painter.invert_dotted_frame(context.to_device(*rect));
        return true;
    });
}

BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    const auto operation = static_cast<uint8_t>(rop >> 16);
    if (rop_reads_source(operation)) {
        return FALSE;
    }
    return paint_dc(dc, [&](const GdiGuard&, DeviceContext& context, Painter& painter) {
        const BrushData& brush = context.brush_data();
        if (!brush.hollow || !rop_reads_pattern(operation)) {
            painter.raster(context.to_device(normalized(x, y, x + width, y + height)), operation,
                           pixel_from_colorref(brush.color));
        }
        return true;
    });
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    return with_dc(dc, COLORREF(CLR_INVALID), [&](const GdiGuard& guard, DeviceContext& context) {
        const std::optional<POINT> at = drawable_point(guard, context, x, y);
        if (!at) {
            return COLORREF(CLR_INVALID);
        }
        context.target(guard).set_pixel(at->x, at->y, pixel_from_colorref(color));
        context.drew(guard, RECT{at->x, at->y, at->x + 1, at->y + 1});
        return color & 0x00FFFFFFu;
    });
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    return with_dc(dc, COLORREF(CLR_INVALID), [&](const GdiGuard& guard, DeviceContext& context) {
        const std::optional<POINT> at = drawable_point(guard, context, x, y);
        return at ? colorref_from_pixel(context.target(guard).pixel(at->x, at->y))
                  : COLORREF(CLR_INVALID);
    });
}
