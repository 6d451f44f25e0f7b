#include "gdi/object_store.h"

#include "gdi/font_sizes.h"

namespace handset {

namespace {

// Handle indices below this are COLOR_* + 1 values standing for system-colour brushes; device
// contexts take the indices above the last.
constexpr uint32_t first_object_index = 0x40;
constexpr uint32_t last_object_index = 0x7FFF;

GdiObject stock_brush(COLORREF color, bool hollow = false) {
    return GdiObject{BrushData{color, hollow}, true};
}

GdiObject stock_pen(UINT style, COLORREF color) {
    return GdiObject{PenData{style, 1, color}, true};
}

GdiObject stock_system_font() {
    LOGFONTW logfont{};
    logfont.lfHeight = system_font_height(96);
    logfont.lfWeight = FW_NORMAL;
    logfont.lfCharSet = DEFAULT_CHARSET;
    const char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), logfont.lfFaceName);
    return GdiObject{FontData{logfont, true}, true};
}

} // namespace

ObjectStore& ObjectStore::instance(const GdiGuard& guard) {
    static auto* store = new ObjectStore(guard); // never destroyed, as the screen
    return *store;
}

ObjectStore::ObjectStore(const GdiGuard& guard) : m_table(first_object_index, last_object_index) {
    m_stock[WHITE_BRUSH] = add_stock(guard, stock_brush(RGB(255, 255, 255)));
    m_stock[LTGRAY_BRUSH] = add_stock(guard, stock_brush(RGB(192, 192, 192)));
    m_stock[GRAY_BRUSH] = add_stock(guard, stock_brush(RGB(128, 128, 128)));
    m_stock[DKGRAY_BRUSH] = add_stock(guard, stock_brush(RGB(64, 64, 64)));
    m_stock[BLACK_BRUSH] = add_stock(guard, stock_brush(RGB(0, 0, 0)));
    m_stock[NULL_BRUSH] = add_stock(guard, stock_brush(RGB(0, 0, 0), true));
    m_stock[WHITE_PEN] = add_stock(guard, stock_pen(PS_SOLID, RGB(255, 255, 255)));
    m_stock[BLACK_PEN] = add_stock(guard, stock_pen(PS_SOLID, RGB(0, 0, 0)));
    m_stock[NULL_PEN] = add_stock(guard, stock_pen(PS_NULL, RGB(0, 0, 0)));
    m_stock[SYSTEM_FONT] = add_stock(guard, stock_system_font());
    for (int index = 0; index < system_color_count; ++index) {
        m_system_brushes[index] = HBRUSH(add_stock(guard, stock_brush(system_color(index))));
    }
    m_default_bitmap =
        HBITMAP(add_stock(guard, GdiObject{BitmapData{Surface(1, 1), 1, false}, true}));
}

HGDIOBJ ObjectStore::add_stock(const GdiGuard& guard, GdiObject object) {
    object.stock = true;
    return add(guard, std::move(object));
}

HGDIOBJ ObjectStore::add(const GdiGuard&, GdiObject object) {
    return HGDIOBJ(m_table.insert(std::make_shared<GdiObject>(std::move(object))));
}

std::shared_ptr<GdiObject> ObjectStore::find(const GdiGuard&, HGDIOBJ handle) const {
    return m_table.find(handle.value());
}

bool ObjectStore::remove(const GdiGuard&, HGDIOBJ handle) {
    const std::shared_ptr<GdiObject> object = m_table.find(handle.value());
    if (object == nullptr) {
        return false;
    }
    if (!object->stock) {
        m_table.remove(handle.value());
    }
    return true;
}

HGDIOBJ ObjectStore::stock(int index) const {
    if (index < 0 || index >= static_cast<int>(m_stock.size())) {
        return HGDIOBJ();
    }
    return m_stock[static_cast<size_t>(index)];
}

std::optional<BrushData> ObjectStore::brush(const GdiGuard& guard, HBRUSH handle) const {
    if ((handle.value() & 0xFFFFu) < first_object_index) {
        const std::optional<int> index = system_color_index(static_cast<int>(handle.value()) - 1);
        if (!index) {
            return std::nullopt;
        }
        return BrushData{system_color(*index), false};
    }
    const std::shared_ptr<GdiObject> object = find(guard, handle);
    if (object == nullptr || !std::holds_alternative<BrushData>(object->data)) {
        return std::nullopt;
    }
    return std::get<BrushData>(object->data);
}

} // namespace handset
