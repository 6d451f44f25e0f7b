#include "gdi/device_context.h"

#include "gdi/rect_math.h"
#include "gdi/screen.h"

namespace handset {

DeviceContext::DeviceContext(Kind kind, POINT origin, ClipRegion visible)
    : m_kind(kind), m_origin(origin), m_visible(std::move(visible)) {}

Surface& DeviceContext::target(const GdiGuard& guard) {
    if (m_kind == Kind::screen) {
        return Screen::instance().framebuffer(guard);
    }
    return std::get<BitmapData>(m_bitmap.object->data).image;
}

ClipRegion DeviceContext::visible(const GdiGuard& guard) {
    if (m_kind == Kind::screen) {
        ClipRegion region = m_visible;
        region.intersect(Screen::instance().framebuffer(guard).bounds());
        return region;
    }
    return ClipRegion(target(guard).bounds());
}

ClipRegion DeviceContext::clip(const GdiGuard& guard) {
    ClipRegion region = visible(guard);
    if (m_user_clip) {
        region.intersect(*m_user_clip);
    }
    return region;
}

POINT DeviceContext::offset() const {
    return POINT{m_origin.x + m_attributes.viewport.x, m_origin.y + m_attributes.viewport.y};
}

POINT DeviceContext::to_device(LONG x, LONG y) const {
    const POINT shift = offset();
    return POINT{x + shift.x, y + shift.y};
}

RECT DeviceContext::to_device(const RECT& logical) const {
    const POINT shift = offset();
    return offset_rect(logical, shift.x, shift.y);
}

void DeviceContext::intersect_clip(const GdiGuard& guard, const RECT& device_rect) {
    ClipRegion region = m_user_clip ? *m_user_clip : visible(guard);
    region.intersect(device_rect);
    m_user_clip = std::move(region);
}

void DeviceContext::exclude_clip(const GdiGuard& guard, const RECT& device_rect) {
    ClipRegion region = m_user_clip ? *m_user_clip : visible(guard);
    region.subtract(device_rect);
    m_user_clip = std::move(region);
}

void DeviceContext::drew(const GdiGuard& guard, const RECT& device_area) {
    if (m_kind == Kind::screen) {
        Screen::instance().mark_changed(guard, device_area);
    }
}

} // namespace handset
