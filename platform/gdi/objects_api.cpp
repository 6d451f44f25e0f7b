// Pens, brushes, fonts and bitmaps as objects: making, selecting, describing and deleting them.
#include "base/debug_output.h"
#include "gdi/api_support.h"
#include "gdi/object_store.h"
#include "gdi/system_colors.h"

#include <wingdi.h>

#include <algorithm>
#include <cstring>
#include <utility>

using namespace handset;

namespace {

HGDIOBJ add_object(GdiObject object) {
    GdiGuard guard;
    return ObjectStore::instance(guard).add(guard, std::move(object));
}

// The kind of object, as the device numbers them.
DWORD type_of(const GdiObject& object) {
    struct Visitor {
        DWORD operator()(const BrushData&) const { return OBJ_BRUSH; }
        DWORD operator()(const PenData&) const { return OBJ_PEN; }
        DWORD operator()(const FontData&) const { return OBJ_FONT; }
        DWORD operator()(const BitmapData&) const { return OBJ_BITMAP; }
    };
    return std::visit(Visitor{}, object.data);
}

template <typename Record>
int copy_record(const Record& record, int size, LPVOID buffer) {
    if (buffer == nullptr) {
        return sizeof(Record);
    }
    if (size < static_cast<int>(sizeof(Record))) {
        return 0;
    }
    std::memcpy(buffer, &record, sizeof(Record));
    return sizeof(Record);
}

int describe(const GdiObject& object, int size, LPVOID buffer) {
    if (const auto* brush = std::get_if<BrushData>(&object.data)) {
        return copy_record(
            LOGBRUSH{brush->hollow ? UINT(BS_NULL) : UINT(BS_SOLID), brush->color, 0}, size,
            buffer);
    }
    if (const auto* pen = std::get_if<PenData>(&object.data)) {
        return copy_record(LOGPEN{pen->style, POINT{pen->width, 0}, pen->color}, size, buffer);
    }
    if (const auto* font = std::get_if<FontData>(&object.data)) {
        return copy_record(font->logfont, size, buffer);
    }
    const auto& bitmap = std::get<BitmapData>(object.data);
    const LONG width = bitmap.image.width();
    const LONG row_bytes = (width * bitmap.bits_pixel + 15) / 16 * 2;
    return copy_record(
        BITMAP{0, width, bitmap.image.height(), row_bytes, 1, bitmap.bits_pixel, nullptr}, size,
        buffer);
}

// Selecting a bitmap: only into a memory DC, and only while no other DC holds it.
HGDIOBJ select_bitmap(const GdiGuard&, DeviceContext& dc, uint32_t dc_value, HGDIOBJ handle,
                      const std::shared_ptr<GdiObject>& object) {
    auto& bitmap = std::get<BitmapData>(object->data);
    if (dc.kind() != DeviceContext::Kind::memory ||
        (!object->stock && bitmap.selected_into != 0 && bitmap.selected_into != dc_value)) {
        return HGDIOBJ();
    }
    Selection& current = dc.bitmap();
    std::get<BitmapData>(current.object->data).selected_into = 0;
    if (!object->stock) {
        bitmap.selected_into = dc_value;
    }
    return std::exchange(current, Selection{handle, object}).handle;
}

} // namespace

HGDIOBJ WINAPI GetStockObject(int object) {
    GdiGuard guard;
    return ObjectStore::instance(guard).stock(object);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return HBRUSH(add_object(GdiObject{BrushData{color & 0x00FFFFFFu, false}}));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) {
        debug_printf("gdi: CreatePen does not know pen style %d", style);
        return HPEN();
    }
    const int pixels = std::max(width, 1);
    // A dashed pen wider than one pixel draws solid, as on the device.
    const UINT drawn_style = style == PS_DASH && pixels > 1 ? PS_SOLID : static_cast<UINT>(style);
    return HPEN(add_object(GdiObject{PenData{drawn_style, pixels, color & 0x00FFFFFFu}}));
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        return HFONT();
    }
    LOGFONTW copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;
    return HFONT(add_object(GdiObject{FontData{copy, false}}));
}

HGDIOBJ WINAPI SelectObject(HDC dc_handle, HGDIOBJ handle) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dc = find_dc(guard, dc_handle);
    const std::shared_ptr<GdiObject> object = ObjectStore::instance(guard).find(guard, handle);
    if (dc == nullptr || object == nullptr) {
        return HGDIOBJ();
    }
    switch (type_of(*object)) {
    case OBJ_BRUSH:
        return std::exchange(dc->brush(), Selection{handle, object}).handle;
    case OBJ_PEN:
        return std::exchange(dc->pen(), Selection{handle, object}).handle;
    case OBJ_FONT:
        return std::exchange(dc->font(), Selection{handle, object}).handle;
    default:
        return select_bitmap(guard, *dc, dc_handle.value(), handle, object);
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    GdiGuard guard;
    return ObjectStore::instance(guard).remove(guard, object) ? TRUE : FALSE;
}

int WINAPI GetObjectW(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiGuard guard;
    const std::shared_ptr<GdiObject> object = ObjectStore::instance(guard).find(guard, handle);
    return object == nullptr ? 0 : describe(*object, size, buffer);
}

DWORD WINAPI GetObjectType(HGDIOBJ handle) {
    GdiGuard guard;
    if (const std::shared_ptr<DeviceContext> dc = find_dc(guard, HDC(handle))) {
        return dc->kind() == DeviceContext::Kind::memory ? OBJ_MEMDC : OBJ_DC;
    }
    const std::shared_ptr<GdiObject> object = ObjectStore::instance(guard).find(guard, handle);
    return object == nullptr ? 0 : type_of(*object);
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    return with_dc(dc, HGDIOBJ(), [&](const GdiGuard&, DeviceContext& context) {
        switch (type) {
        case OBJ_PEN:
            return context.pen().handle;
        case OBJ_BRUSH:
            return context.brush().handle;
        case OBJ_FONT:
            return context.font().handle;
        case OBJ_BITMAP:
            return context.bitmap().handle;
        default:
            return HGDIOBJ();
        }
    });
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    const std::optional<int> plain = system_color_index(index);
    if (!plain) {
        return HBRUSH();
    }
    GdiGuard guard;
    return ObjectStore::instance(guard).system_color_brush(*plain);
}
