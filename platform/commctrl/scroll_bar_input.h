// The stylus on a vertical scroll bar, turned into WM_VSCROLL requests: a tap on an arrow is a
// line, on the track a page, and dragging the thumb tracks it until the stylus lifts. Every
// press ends with SB_ENDSCROLL when the stylus lifts.
#pragma once

#include "commctrl/scroll_bar_geometry.h"

#include <vector>

namespace handset {

struct ScrollRequest {
    int code;
    int position; // the thumb position of SB_THUMBTRACK and SB_THUMBPOSITION, else 0
};

class ScrollBarInput {
  public:
    // Whether a press is in progress (the stylus went down on the bar and has not lifted).
    bool pressed() const { return m_pressed; }

    std::vector<ScrollRequest> press(const ScrollBarGeometry& geometry, POINT point);
    std::vector<ScrollRequest> drag(const ScrollBarGeometry& geometry, POINT point);
    std::vector<ScrollRequest> release(const ScrollBarGeometry& geometry, POINT point);

  private:
    bool m_pressed = false;
    bool m_dragging = false;
    int m_grab_offset = 0;
    int m_track_position = 0;
};

} // namespace handset
