// The scroll bar control (class "ScrollBar"): a vertical bar that keeps its own scroll
// information and tells its parent what the stylus asks for with WM_VSCROLL, the bar in lParam.
// It moves nothing itself: the parent sets the new position.
#pragma once

#include "commctrl/control.h"
#include "commctrl/scroll_bar_input.h"
#include "commctrl/scroll_state.h"

namespace handset {

class ScrollBarControl : public Control {
  public:
    ScrollBarControl(HWND window, const CREATESTRUCTW& create);

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    ScrollBarGeometry geometry() const;
    void paint();
    void send_requests(const std::vector<ScrollRequest>& requests);
    void redraw_if(bool redraw);

    ScrollState m_state;
    ScrollBarInput m_input;
};

} // namespace handset
