// An area of the screen or of a bitmap as a set of disjoint rectangles: where a device context
// may draw. The window system builds one per window (its rectangle, less what covers it) and
// the painting code draws into each rectangle in turn, so a few rectangles are the common case.
#pragma once

#include <windef.h>

#include <vector>

namespace handset {

class ClipRegion {
  public:
    ClipRegion() = default;
    explicit ClipRegion(const RECT& rect);

    bool is_empty() const { return m_rects.empty(); }
    // Disjoint, none of them empty, in no particular order.
    const std::vector<RECT>& rects() const { return m_rects; }
    RECT bounds() const;
    bool contains(LONG x, LONG y) const;

    void intersect(const RECT& rect);
    void intersect(const ClipRegion& other);
    void subtract(const RECT& rect);
    void unite(const RECT& rect);
    void offset(LONG dx, LONG dy);

  private:
    std::vector<RECT> m_rects;
};

} // namespace handset
