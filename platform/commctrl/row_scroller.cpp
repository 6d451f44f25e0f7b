#include "commctrl/row_scroller.h"

#include <algorithm>

namespace handset {

void RowScroller::set_rows(int total, int fitting) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(total - 1, 0);
    info.nPage = static_cast<UINT>(std::max(fitting, 1));
    m_state.apply(info);
}

RECT RowScroller::rows_area(const RECT& client) const {
    RECT area = client;
    if (bar_shown()) {
        area.right = std::max(area.left, area.right - GetSystemMetrics(SM_CXVSCROLL));
    }
    return area;
}

RECT RowScroller::bar_area(const RECT& client) const {
    RECT bar = client;
    bar.left = rows_area(client).right;
    return bar;
}

bool RowScroller::scroll(int request, int thumb) {
    const int before = m_state.position();
    return m_state.set_position(m_state.position_after(request, thumb, 1, fitting())) != before;
}

bool RowScroller::ensure_visible(int row) {
    const int before = m_state.position();
    if (row < before) {
        m_state.set_position(row);
    } else if (row >= before + fitting()) {
        m_state.set_position(row - fitting() + 1);
    }
    return m_state.position() != before;
}

bool RowScroller::press(HWND view, const RECT& client, POINT point) {
    if (!bar_shown()) {
        return false;
    }
    const ScrollBarGeometry geometry(bar_area(client), m_state);
    if (geometry.part_at(point) == ScrollBarGeometry::Part::none) {
        return point.x >= bar_area(client).left;
    }
    repaint_if(view, apply(m_input.press(geometry, point)));
    return true;
}

void RowScroller::drag(HWND view, const RECT& client, POINT point) {
    if (m_input.pressed()) {
        repaint_if(view, apply(m_input.drag(ScrollBarGeometry(bar_area(client), m_state), point)));
    }
}

bool RowScroller::release(HWND view, const RECT& client, POINT point) {
    if (!m_input.pressed()) {
        return false;
    }
    repaint_if(view, apply(m_input.release(ScrollBarGeometry(bar_area(client), m_state), point)));
    ReleaseCapture();
    return true;
}

void RowScroller::repaint_if(HWND view, bool changed) {
    if (changed) {
        InvalidateRect(view, nullptr, TRUE);
    }
}

void RowScroller::paint(HDC dc, const RECT& client) const {
    if (bar_shown()) {
        ScrollBarGeometry(bar_area(client), m_state).paint(dc, true);
    }
}

bool RowScroller::apply(const std::vector<ScrollRequest>& requests) {
    bool changed = false;
    for (const ScrollRequest& request : requests) {
        changed = scroll(request.code, request.position) || changed;
    }
    return changed;
}

} // namespace handset
