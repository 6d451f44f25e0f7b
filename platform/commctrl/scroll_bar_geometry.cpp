#include "commctrl/scroll_bar_geometry.h"

#include <algorithm>

namespace handset {

namespace {

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// A raised box: the face colour framed by a shadow line.
void paint_box(HDC dc, const RECT& box) {
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
}

// A filled triangle pointing up or down, centred in the box, drawn as shrinking rows.
void paint_arrow(HDC dc, const RECT& box, bool up, bool enabled) {
    paint_box(dc, box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int half = std::max(1, std::min(width, height) / 4);
    const int centre_x = box.left + width / 2;
    const int top = box.top + (height - half) / 2;
    const HBRUSH ink = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (int row = 0; row < half; ++row) {
        const int reach = up ? row : half - 1 - row;
        const RECT line{centre_x - reach, top + row, centre_x + reach + 1, top + row + 1};
        FillRect(dc, &line, ink);
    }
}

} // namespace

ScrollBarGeometry::ScrollBarGeometry(const RECT& bar, const ScrollState& state) : m_bar(bar) {
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    const int arrow = std::min(width, height / 2);
    m_up = RECT{bar.left, bar.top, bar.right, bar.top + arrow};
    m_down = RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    if (!state.scrollable()) {
        return;
    }
    const int track = m_down.top - m_up.bottom;
    if (track <= 0) {
        return;
    }
    const long long range = static_cast<long long>(state.maximum()) - state.minimum() + 1;
    const long long page = state.page() != 0 ? state.page() : 1;
    const int minimum_thumb = std::min(std::max(width / 2, 4), track);
    const int length = std::clamp(static_cast<int>(track * page / range), minimum_thumb, track);
    m_travel = track - length;
    m_first_position = state.minimum();
    m_last_position = state.last_position();
    const long long span = m_last_position - m_first_position;
    const int offset =
        static_cast<int>(static_cast<long long>(state.position() - m_first_position) * m_travel /
                         std::max<long long>(span, 1));
    m_thumb = RECT{bar.left, m_up.bottom + offset, bar.right, m_up.bottom + offset + length};
}

ScrollBarGeometry::Part ScrollBarGeometry::part_at(POINT point) const {
    if (!contains(m_bar, point)) {
        return Part::none;
    }
    if (contains(m_up, point)) {
        return Part::line_up;
    }
    if (contains(m_down, point)) {
        return Part::line_down;
    }
    if (m_thumb.bottom <= m_thumb.top) {
        return Part::none;
    }
    if (point.y < m_thumb.top) {
        return Part::page_up;
    }
    return point.y < m_thumb.bottom ? Part::thumb : Part::page_down;
}

int ScrollBarGeometry::position_for_thumb_top(int thumb_top) const {
    if (m_travel <= 0) {
        return m_first_position;
    }
    const int offset = std::clamp(thumb_top - m_up.bottom, 0, m_travel);
    const long long span = m_last_position - m_first_position;
    return m_first_position + static_cast<int>((offset * span + m_travel / 2) / m_travel);
}

void ScrollBarGeometry::paint(HDC dc, bool enabled) const {
    const RECT track{m_bar.left, m_up.bottom, m_bar.right, m_down.top};
    FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    paint_arrow(dc, m_up, true, enabled && m_thumb.bottom > m_thumb.top);
    paint_arrow(dc, m_down, false, enabled && m_thumb.bottom > m_thumb.top);
    if (enabled && m_thumb.bottom > m_thumb.top) {
        paint_box(dc, m_thumb);
    }
}

} // namespace handset
