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

bool RowScroller::press(const RECT& client, POINT point, bool& changed) {
    if (!bar_shown()) {
        return false;
    }
    const ScrollBarGeometry geometry(bar_area(client), m_state);
    if (geometry.part_at(point) == ScrollBarGeometry::Part::none) {
        return point.x >= bar_area(client).left;
    }
    changed = apply(m_input.press(geometry, point));
    return true;
}

bool RowScroller::drag(const RECT& client, POINT point) {
    return apply(m_input.drag(ScrollBarGeometry(bar_area(client), m_state), point));
}

bool RowScroller::release(const RECT& client, POINT point) {
    return apply(m_input.release(ScrollBarGeometry(bar_area(client), m_state), point));
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
