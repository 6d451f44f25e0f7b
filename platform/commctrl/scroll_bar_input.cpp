#include "commctrl/scroll_bar_input.h"

namespace handset {

std::vector<ScrollRequest> ScrollBarInput::press(const ScrollBarGeometry& geometry, POINT point) {
    using Part = ScrollBarGeometry::Part;
    const Part part = geometry.part_at(point);
    if (part == Part::none) {
        return {};
    }
    m_pressed = true;
    switch (part) {
    case Part::line_up:
        return {{SB_LINEUP, 0}};
    case Part::line_down:
        return {{SB_LINEDOWN, 0}};
    case Part::page_up:
        return {{SB_PAGEUP, 0}};
    case Part::page_down:
        return {{SB_PAGEDOWN, 0}};
    case Part::thumb:
        m_dragging = true;
        m_grab_offset = point.y - geometry.thumb().top;
        m_track_position = geometry.position_for_thumb_top(geometry.thumb().top);
        return {};
    case Part::none:
        break;
    }
    return {};
}

std::vector<ScrollRequest> ScrollBarInput::drag(const ScrollBarGeometry& geometry, POINT point) {
    if (!m_dragging) {
        return {};
    }
    const int position = geometry.position_for_thumb_top(point.y - m_grab_offset);
    if (position == m_track_position) {
        return {};
    }
    m_track_position = position;
    return {{SB_THUMBTRACK, position}};
}

std::vector<ScrollRequest> ScrollBarInput::release(const ScrollBarGeometry& geometry, POINT point) {
    if (!m_pressed) {
        return {};
    }
    std::vector<ScrollRequest> requests;
    if (m_dragging) {
        drag(geometry, point);
        requests.push_back({SB_THUMBPOSITION, m_track_position});
    }
    requests.push_back({SB_ENDSCROLL, 0});
    m_pressed = false;
    m_dragging = false;
    return requests;
}

} // namespace handset
