#include "commctrl/scroll_state.h"

#include <algorithm>

namespace handset {

int ScrollState::apply(const SCROLLINFO& info) {
    if ((info.fMask & SIF_RANGE) != 0) {
        m_min = info.nMin;
        m_max = std::max(info.nMin, info.nMax);
    }
    if ((info.fMask & SIF_PAGE) != 0) {
        m_page = info.nPage;
    }
    const auto range_size = static_cast<long long>(m_max) - m_min + 1;
    if (static_cast<long long>(m_page) > range_size) {
        m_page = static_cast<UINT>(range_size);
    }
    if ((info.fMask & SIF_POS) != 0) {
        m_pos = info.nPos;
    }
    m_disable_no_scroll = (info.fMask & SIF_DISABLENOSCROLL) != 0;
    m_pos = clamp(m_pos);
    m_track = clamp(m_track);
    return m_pos;
}

void ScrollState::read(SCROLLINFO& info) const {
    if ((info.fMask & SIF_RANGE) != 0) {
        info.nMin = m_min;
        info.nMax = m_max;
    }
    if ((info.fMask & SIF_PAGE) != 0) {
        info.nPage = m_page;
    }
    if ((info.fMask & SIF_POS) != 0) {
        info.nPos = m_pos;
    }
    if ((info.fMask & SIF_TRACKPOS) != 0) {
        info.nTrackPos = m_track;
    }
}

int ScrollState::set_position(int position) {
    m_pos = clamp(position);
    return m_pos;
}

int ScrollState::last_position() const {
    const long long last = static_cast<long long>(m_max) - std::max<long long>(m_page, 1) + 1;
    return static_cast<int>(std::max<long long>(last, m_min));
}

bool ScrollState::scrollable() const {
    return last_position() > m_min;
}

int ScrollState::position_after(int request, int thumb, int line, int page) const {
    switch (request) {
    case SB_LINEUP:
        return clamp(m_pos - line);
    case SB_LINEDOWN:
        return clamp(m_pos + line);
    case SB_PAGEUP:
        return clamp(m_pos - page);
    case SB_PAGEDOWN:
        return clamp(m_pos + page);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return clamp(thumb);
    case SB_TOP:
        return m_min;
    case SB_BOTTOM:
        return last_position();
    default:
        return m_pos;
    }
}

int ScrollState::clamp(int position) const {
    return std::clamp(position, m_min, last_position());
}

} // namespace handset
