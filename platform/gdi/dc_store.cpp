#include "gdi/dc_store.h"

#include "gdi/object_store.h"

namespace handset {

namespace {

Selection stock_selection(const GdiGuard& guard, int index) {
    ObjectStore& objects = ObjectStore::instance(guard);
    const HGDIOBJ handle = objects.stock(index);
    return Selection{handle, objects.find(guard, handle)};
}

} // namespace

DcStore& DcStore::instance(const GdiGuard&) {
    static auto* store = new DcStore; // never destroyed, as the screen
    return *store;
}

// Above the objects' indices, so that no DC handle is also an object's.
DcStore::DcStore() : m_table(0x8000, 0xFFFF) {}

HDC DcStore::add(const GdiGuard& guard, std::shared_ptr<DeviceContext> dc) {
    dc->pen() = stock_selection(guard, BLACK_PEN);
    dc->brush() = stock_selection(guard, WHITE_BRUSH);
    dc->font() = stock_selection(guard, SYSTEM_FONT);
    return HDC(m_table.insert(std::move(dc)));
}

HDC DcStore::add_screen_dc(const GdiGuard& guard, POINT origin, const ClipRegion& visible) {
    return add(guard,
               std::make_shared<DeviceContext>(DeviceContext::Kind::screen, origin, visible));
}

HDC DcStore::add_memory_dc(const GdiGuard& guard) {
    auto dc =
        std::make_shared<DeviceContext>(DeviceContext::Kind::memory, POINT{0, 0}, ClipRegion());
    ObjectStore& objects = ObjectStore::instance(guard);
    const HGDIOBJ bitmap = objects.default_bitmap();
    dc->bitmap() = Selection{bitmap, objects.find(guard, bitmap)};
    return add(guard, std::move(dc));
}

std::shared_ptr<DeviceContext> DcStore::find(const GdiGuard&, HDC dc) const {
    return m_table.find(dc.value());
}

bool DcStore::remove(const GdiGuard&, HDC handle, DeviceContext::Kind kind) {
    const std::shared_ptr<DeviceContext> dc = m_table.find(handle.value());
    if (dc == nullptr || dc->kind() != kind) {
        return false;
    }
    m_table.remove(handle.value());
    if (kind == DeviceContext::Kind::memory) {
        std::get<BitmapData>(dc->bitmap().object->data).selected_into = 0;
    }
    return true;
}

} // namespace handset
