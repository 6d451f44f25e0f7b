// The table of device contexts. Every call expects the GDI lock held.
#pragma once

#include "gdi/device_context.h"
#include "gdi/gdi_handle_table.h"
#include "gdi/gdi_lock.h"

#include <memory>

namespace handset {

class DcStore {
  public:
    static DcStore& instance(const GdiGuard&);

    // A screen DC over `visible` (screen coordinates) with logical (0, 0) at `origin`.
    HDC add_screen_dc(const GdiGuard& guard, POINT origin, const ClipRegion& visible);
    // A memory DC with the 1 × 1 default bitmap selected.
    HDC add_memory_dc(const GdiGuard& guard);
    std::shared_ptr<DeviceContext> find(const GdiGuard&, HDC dc) const;
    // Releases the DC's hold on its bitmap. False for a handle that names no DC of that kind.
    bool remove(const GdiGuard& guard, HDC dc, DeviceContext::Kind kind);

  private:
    DcStore();
    HDC add(const GdiGuard& guard, std::shared_ptr<DeviceContext> dc);

    GdiHandleTable<DeviceContext> m_table;
};

} // namespace handset
