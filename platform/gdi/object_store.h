// The table of pens, brushes, fonts and bitmaps, with the stock objects made at start.
// Every call expects the GDI lock held.
#pragma once

#include "gdi/gdi_handle_table.h"
#include "gdi/gdi_lock.h"
#include "gdi/gdi_object.h"
#include "gdi/system_colors.h"

#include <array>
#include <memory>
#include <optional>

namespace handset {

class ObjectStore {
  public:
    static ObjectStore& instance(const GdiGuard&);

    // 0 when the table is full.
    HGDIOBJ add(const GdiGuard&, GdiObject object);
    std::shared_ptr<GdiObject> find(const GdiGuard&, HGDIOBJ handle) const;
    // The object lives on while a device context still has it selected. False for a handle
    // that names nothing; true (and nothing happens) for a stock object.
    bool remove(const GdiGuard&, HGDIOBJ handle);

    // 0 for an index without a stock object.
    HGDIOBJ stock(int index) const;
    HBRUSH system_color_brush(int plain_index) const { return m_system_brushes[plain_index]; }
    // What a new memory DC starts with: a 1 × 1 bitmap.
    HBITMAP default_bitmap() const { return m_default_bitmap; }

    // A brush handle's colour: a brush of the table, or a system colour given as COLOR_* + 1
    // (as window classes and FillRect accept).
    std::optional<BrushData> brush(const GdiGuard&, HBRUSH handle) const;

  private:
    explicit ObjectStore(const GdiGuard& guard);
    HGDIOBJ add_stock(const GdiGuard& guard, GdiObject object);

    GdiHandleTable<GdiObject> m_table;
    std::array<HGDIOBJ, SYSTEM_FONT + 1> m_stock{};
    std::array<HBRUSH, system_color_count> m_system_brushes{};
    HBITMAP m_default_bitmap;
};

} // namespace handset
