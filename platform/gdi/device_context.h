// One device context: where it draws (the screen or a memory DC's bitmap), which part of that it
// may touch, the objects selected into it and its text and background settings.
//
// Coordinates: a call's logical point (x, y) lands on device pixel (x, y) + origin + viewport
// origin. A screen DC's origin is the window's position on the screen and its visible region is
// in screen coordinates; a memory DC's origin is (0, 0) and its visible region is its bitmap.
// Every member function expects the GDI lock held.
#pragma once

#include "gdi/clip_region.h"
#include "gdi/gdi_lock.h"
#include "gdi/gdi_object.h"

#include <memory>
#include <optional>

namespace handset {

struct Selection {
    HGDIOBJ handle;
    std::shared_ptr<GdiObject> object;
};

struct DcAttributes {
    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    UINT text_align = TA_LEFT | TA_TOP;
    POINT position{0, 0};
    POINT viewport{0, 0};
};

class DeviceContext {
  public:
    enum class Kind { screen, memory };

    DeviceContext(Kind kind, POINT origin, ClipRegion visible);

    Kind kind() const { return m_kind; }
    DcAttributes& attributes() { return m_attributes; }
    const DcAttributes& attributes() const { return m_attributes; }

    Selection& pen() { return m_pen; }
    Selection& brush() { return m_brush; }
    Selection& font() { return m_font; }
    // The bitmap a memory DC draws into; unset for a screen DC.
    Selection& bitmap() { return m_bitmap; }

    const PenData& pen_data() const { return std::get<PenData>(m_pen.object->data); }
    const BrushData& brush_data() const { return std::get<BrushData>(m_brush.object->data); }
    const FontData& font_data() const { return std::get<FontData>(m_font.object->data); }

    // The pixels this DC draws on.
    Surface& target(const GdiGuard& guard);
    // Where it may draw, in device coordinates, inside the target.
    ClipRegion clip(const GdiGuard& guard);
    POINT offset() const;
    POINT to_device(LONG x, LONG y) const;
    RECT to_device(const RECT& logical) const;

    // IntersectClipRect and ExcludeClipRect, with a rectangle in device coordinates.
    void intersect_clip(const GdiGuard& guard, const RECT& device_rect);
    void exclude_clip(const GdiGuard& guard, const RECT& device_rect);

    // Reports pixels drawn in `device_area`, so that the display shows them.
    void drew(const GdiGuard& guard, const RECT& device_area);

  private:
    ClipRegion visible(const GdiGuard& guard);

    Kind m_kind;
    POINT m_origin;
    ClipRegion m_visible;
    std::optional<ClipRegion> m_user_clip;
    DcAttributes m_attributes;
    Selection m_pen;
    Selection m_brush;
    Selection m_font;
    Selection m_bitmap;
};

} // namespace handset
