#include "gdi/gdi_handle_table.h"

#include <gtest/gtest.h>

namespace handset {
namespace {

TEST(GdiHandleTable, HandlesStayInTheirRangeAndStaleOnesFindNothing) {
    GdiHandleTable<int> table(0x40, 0x42);
    const uint32_t a = table.insert(std::make_shared<int>(1));
    const uint32_t b = table.insert(std::make_shared<int>(2));
    const uint32_t c = table.insert(std::make_shared<int>(3));
    EXPECT_EQ(table.insert(std::make_shared<int>(4)), 0u); // full
    for (uint32_t handle : {a, b, c}) {
        EXPECT_GE(handle & 0xFFFF, 0x40u);
        EXPECT_LE(handle & 0xFFFF, 0x42u);
    }
    EXPECT_EQ(*table.remove(b), 2);
    EXPECT_EQ(table.find(b), nullptr);
    EXPECT_EQ(table.remove(b), nullptr);
    const uint32_t d = table.insert(std::make_shared<int>(5));
    EXPECT_EQ(d & 0xFFFF, b & 0xFFFF); // the slot is reused under a new generation
    EXPECT_NE(d, b);
    EXPECT_EQ(table.find(b), nullptr);
    EXPECT_EQ(*table.find(d), 5);
    EXPECT_EQ(table.find(0x3F), nullptr);
    EXPECT_EQ(table.find(0), nullptr);
}

TEST(GdiHandleTable, RemovedObjectsLiveOnWhileStillHeld) {
    GdiHandleTable<int> table(1, 10);
    const uint32_t handle = table.insert(std::make_shared<int>(7));
    std::shared_ptr<int> held = table.find(handle);
    table.remove(handle);
    EXPECT_EQ(*held, 7);
}

} // namespace
} // namespace handset
