// Where the parts of a vertical scroll bar lie, for a rectangle and a scroll state: the two
// arrows, the track between them and the thumb in it. Drawing and hit-testing both use it, so a
// tap always lands on the part the user sees.
#pragma once

#include "commctrl/scroll_state.h"

#include <commctrl.h>

namespace handset {

class ScrollBarGeometry {
  public:
    enum class Part { none, line_up, page_up, thumb, page_down, line_down };

    ScrollBarGeometry(const RECT& bar, const ScrollState& state);

    const RECT& bar() const { return m_bar; }
    const RECT& up_arrow() const { return m_up; }
    const RECT& down_arrow() const { return m_down; }
    // Empty when there is nothing to scroll.
    const RECT& thumb() const { return m_thumb; }

    Part part_at(POINT point) const;
    // The position that puts the thumb's top edge at `thumb_top`.
    int position_for_thumb_top(int thumb_top) const;

    // Arrows, track and thumb; gray arrows and no thumb when disabled.
    void paint(HDC dc, bool enabled) const;

  private:
    RECT m_bar;
    RECT m_up{};
    RECT m_down{};
    RECT m_thumb{};
    int m_travel = 0;
    int m_first_position = 0;
    int m_last_position = 0;
};

} // namespace handset
