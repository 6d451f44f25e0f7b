#include "gdi/clip_region.h"
#include "gdi/rect_math.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace handset {
namespace {

using Pixels = std::set<std::pair<LONG, LONG>>;

Pixels pixels_of(const RECT& r) {
    Pixels out;
    for (LONG y = r.top; y < r.bottom; ++y) {
        for (LONG x = r.left; x < r.right; ++x) {
            out.insert({x, y});
        }
    }
    return out;
}

// Every pixel of the region, and a check that no pixel is in two of its rectangles.
Pixels pixels_of(const ClipRegion& region) {
    Pixels out;
    size_t count = 0;
    for (const RECT& r : region.rects()) {
        EXPECT_FALSE(rect_is_empty(r));
        const Pixels part = pixels_of(r);
        count += part.size();
        out.insert(part.begin(), part.end());
    }
    EXPECT_EQ(count, out.size()) << "the region's rectangles overlap";
    return out;
}

Pixels minus(Pixels a, const Pixels& b) {
    for (const auto& p : b) {
        a.erase(p);
    }
    return a;
}

TEST(ClipRegion, SubtractingLeavesExactlyTheRestInDisjointPieces) {
    const RECT window{0, 0, 20, 16};
    const RECT holes[] = {
        {5, 5, 10, 10}, {-3, 2, 4, 30}, {15, -1, 25, 3}, {0, 0, 20, 16}, {30, 30, 40, 40}};
    for (const RECT& hole : holes) {
        ClipRegion region(window);
        region.subtract(hole);
        EXPECT_EQ(pixels_of(region), minus(pixels_of(window), pixels_of(hole)));
    }
}

TEST(ClipRegion, WindowLessTwoOverlappingPopupsStaysExact) {
    ClipRegion region(RECT{0, 0, 30, 30});
    region.subtract(RECT{5, 5, 20, 20});
    region.subtract(RECT{10, 10, 25, 40});
    Pixels expected = minus(pixels_of(RECT{0, 0, 30, 30}), pixels_of(RECT{5, 5, 20, 20}));
    expected = minus(expected, pixels_of(RECT{10, 10, 25, 40}));
    EXPECT_EQ(pixels_of(region), expected);
    EXPECT_FALSE(region.contains(12, 12));
    EXPECT_TRUE(region.contains(2, 25));
}

TEST(ClipRegion, UnitingOverlappingRectanglesCoversEachPixelOnce) {
    ClipRegion region;
    region.unite(RECT{0, 0, 10, 10});
    region.unite(RECT{5, 5, 15, 15});
    region.unite(RECT{2, 2, 4, 4});
    Pixels expected = pixels_of(RECT{0, 0, 10, 10});
    const Pixels second = pixels_of(RECT{5, 5, 15, 15});
    expected.insert(second.begin(), second.end());
    EXPECT_EQ(pixels_of(region), expected);
    EXPECT_TRUE(rects_equal(region.bounds(), RECT{0, 0, 15, 15}));
}

TEST(ClipRegion, IntersectionKeepsOnlyTheCommonPart) {
    ClipRegion region(RECT{0, 0, 10, 10});
    region.subtract(RECT{3, 3, 6, 6});
    ClipRegion other(RECT{4, 0, 20, 5});
    region.intersect(other);
    EXPECT_EQ(pixels_of(region), minus(pixels_of(RECT{4, 0, 10, 5}), pixels_of(RECT{3, 3, 6, 6})));
    region.intersect(RECT{100, 100, 110, 110});
    EXPECT_TRUE(region.is_empty());
}

TEST(ClipRegion, EmptyRectanglesAddNothing) {
    ClipRegion region(RECT{5, 5, 5, 10});
    EXPECT_TRUE(region.is_empty());
    region.unite(RECT{3, 3, 1, 1});
    EXPECT_TRUE(region.is_empty());
    region.unite(RECT{0, 0, 2, 2});
    region.subtract(RECT{1, 1, 1, 1});
    EXPECT_EQ(pixels_of(region).size(), 4u);
}

} // namespace
} // namespace handset
