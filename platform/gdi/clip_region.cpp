#include "gdi/clip_region.h"

#include "gdi/rect_math.h"

namespace handset {

namespace {

// Appends the parts of `piece` outside `hole` (at most four bands: above, below, left, right).
void append_difference(const RECT& piece, const RECT& hole, std::vector<RECT>& out) {
    RECT cut = intersect_rects(piece, hole);
    if (rect_is_empty(cut)) {
        out.push_back(piece);
        return;
    }
    if (piece.top < cut.top) {
        out.push_back(RECT{piece.left, piece.top, piece.right, cut.top});
    }
    if (cut.bottom < piece.bottom) {
        out.push_back(RECT{piece.left, cut.bottom, piece.right, piece.bottom});
    }
    if (piece.left < cut.left) {
        out.push_back(RECT{piece.left, cut.top, cut.left, cut.bottom});
    }
    if (cut.right < piece.right) {
        out.push_back(RECT{cut.right, cut.top, piece.right, cut.bottom});
    }
}

} // namespace

ClipRegion::ClipRegion(const RECT& rect) {
    if (!rect_is_empty(rect)) {
        m_rects.push_back(rect);
    }
}

RECT ClipRegion::bounds() const {
    RECT box{0, 0, 0, 0};
    for (const RECT& r : m_rects) {
        box = union_rects(box, r);
    }
    return box;
}

bool ClipRegion::contains(LONG x, LONG y) const {
    for (const RECT& r : m_rects) {
        if (rect_contains(r, x, y)) {
            return true;
        }
    }
    return false;
}

void ClipRegion::intersect(const RECT& rect) {
    std::vector<RECT> kept;
    for (const RECT& r : m_rects) {
        RECT cut = intersect_rects(r, rect);
        if (!rect_is_empty(cut)) {
            kept.push_back(cut);
        }
    }
    m_rects = std::move(kept);
}

void ClipRegion::intersect(const ClipRegion& other) {
    std::vector<RECT> kept;
    for (const RECT& a : m_rects) {
        for (const RECT& b : other.m_rects) {
            RECT cut = intersect_rects(a, b);
            if (!rect_is_empty(cut)) {
                kept.push_back(cut);
            }
        }
    }
    m_rects = std::move(kept);
}

void ClipRegion::subtract(const RECT& rect) {
    if (rect_is_empty(rect)) {
        return;
    }
    std::vector<RECT> kept;
    for (const RECT& r : m_rects) {
        append_difference(r, rect, kept);
    }
    m_rects = std::move(kept);
}

void ClipRegion::unite(const RECT& rect) {
    if (rect_is_empty(rect)) {
        return;
    }
    // Only the parts of `rect` that are not covered yet are added, which keeps the set disjoint.
    std::vector<RECT> fresh{rect};
    for (const RECT& r : m_rects) {
        std::vector<RECT> rest;
        for (const RECT& piece : fresh) {
            append_difference(piece, r, rest);
        }
        fresh = std::move(rest);
    }
    m_rects.insert(m_rects.end(), fresh.begin(), fresh.end());
}

void ClipRegion::offset(LONG dx, LONG dy) {
    for (RECT& r : m_rects) {
        r = offset_rect(r, dx, dy);
    }
}

} // namespace handset
