// Vertical scrolling by rows for the views that draw their own rows (tree view, list view): which
// row is at the top, and the scroll bar the view shows along its right edge once the rows
// outgrow it. The bar takes the stylus like the scroll bar control, but moves the view itself.
#pragma once

#include "commctrl/scroll_bar_input.h"
#include "commctrl/scroll_state.h"

namespace handset {

class RowScroller {
  public:
    // How many rows there are and how many fit in the view; the top row stays in range.
    void set_rows(int total, int fitting);
    int top() const { return m_state.position(); }
    int fitting() const { return static_cast<int>(m_state.page()); }
    bool bar_shown() const { return m_state.scrollable(); }

    // The client area less the bar, and the bar itself.
    RECT rows_area(const RECT& client) const;
    RECT bar_area(const RECT& client) const;

    // A WM_VSCROLL request; whether the top row changed.
    bool scroll(int request, int thumb);
    // Scrolls as little as needed to show the row; whether the top row changed.
    bool ensure_visible(int row);

    // The stylus on the bar, which repaints the view when its top row changes. press answers
    // false when the point is not on the bar (the view handles it), release false when no press
    // of the bar was under way; release also ends the view's capture of the stylus.
    bool press(HWND view, const RECT& client, POINT point);
    void drag(HWND view, const RECT& client, POINT point);
    bool release(HWND view, const RECT& client, POINT point);

    void paint(HDC dc, const RECT& client) const;

  private:
    bool apply(const std::vector<ScrollRequest>& requests);
    static void repaint_if(HWND view, bool changed);

    ScrollState m_state;
    ScrollBarInput m_input;
};

} // namespace handset
