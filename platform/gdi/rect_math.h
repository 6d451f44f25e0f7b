// Rectangle arithmetic on the device's RECT: right and bottom are exclusive, and a rectangle whose
// right is not past its left (or bottom past its top) is empty.
#pragma once

#include <windef.h>

namespace handset {

inline bool rect_is_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

inline RECT make_rect(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{left, top, right, bottom};
}

// The common part; an empty result is normalised to all zeros.
RECT intersect_rects(const RECT& a, const RECT& b);
// The smallest rectangle holding both; an empty one does not count.
RECT union_rects(const RECT& a, const RECT& b);
RECT offset_rect(const RECT& r, LONG dx, LONG dy);
bool rect_contains(const RECT& r, LONG x, LONG y);
bool rects_equal(const RECT& a, const RECT& b);

} // namespace handset
