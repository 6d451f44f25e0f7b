// The numbers behind one scroll bar: range, page and position, kept as the device keeps them.
// The page never exceeds the range's size, and the position stays between the minimum and the
// last position at which a full page still fits (max - page + 1).
#pragma once

#include <commctrl.h>

namespace handset {

class ScrollState {
  public:
    // Takes what the record's mask names and answers the position afterwards.
    int apply(const SCROLLINFO& info);
    // Fills what the record's mask asks for.
    void read(SCROLLINFO& info) const;
    int set_position(int position);
    void set_track_position(int position) { m_track = clamp(position); }

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    UINT page() const { return m_page; }
    int position() const { return m_pos; }
    int track_position() const { return m_track; }
    // The highest position a scroll request may reach.
    int last_position() const;
    // Whether there is anything to scroll: the range is larger than a page.
    bool scrollable() const;
    // The bar is shown disabled rather than hidden when there is nothing to scroll.
    bool keeps_bar_when_idle() const { return m_disable_no_scroll; }

    // Where a WM_VSCROLL request moves the position, by `line` or `page` units; `thumb` is the
    // thumb position the request carries.
    int position_after(int request, int thumb, int line, int page) const;

  private:
    int clamp(int position) const;

    int m_min = 0;
    int m_max = 0;
    UINT m_page = 0;
    int m_pos = 0;
    int m_track = 0;
    bool m_disable_no_scroll = false;
};

} // namespace handset
