#include "base/handle_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using handset::HandleTable;

TEST(HandleTable, FindsWhatWasAddedUntilItIsRemoved) {
    HandleTable<std::string> table;
    const uint32_t a = table.add("a");
    const uint32_t b = table.add("b");
    EXPECT_NE(a, b);
    EXPECT_EQ(table.find(a), "a");
    EXPECT_EQ(table.remove(a), "a");
    EXPECT_FALSE(table.find(a));
    EXPECT_FALSE(table.remove(a));
    EXPECT_EQ(table.find(b), "b");
    EXPECT_EQ(table.size(), 1u);
}

TEST(HandleTable, DoesNotLetAStaleHandleReachTheSlotsNextObject) {
    HandleTable<int> table;
    const uint32_t first = table.add(1);
    table.remove(first);
    const uint32_t second = table.add(2);
    EXPECT_NE(first, second);
    EXPECT_FALSE(table.find(first));
    EXPECT_EQ(table.find(second), 2);
}

TEST(HandleTable, RejectsHandlesItNeverGave) {
    HandleTable<int> table;
    table.add(1);
    EXPECT_FALSE(table.find(0));
    EXPECT_FALSE(table.find(0x80000002));
    EXPECT_FALSE(table.find(0xFFFFF));
    EXPECT_FALSE(table.find(0x00100000)); // index bits zero
}

TEST(HandleTable, HandsOutNonZeroHandlesBelowTheTopBitUntilFull) {
    HandleTable<char> table;
    std::set<uint32_t> seen;
    for (uint32_t i = 0; i < HandleTable<char>::max_slots; ++i) {
        const uint32_t handle = table.add('x');
        ASSERT_NE(handle, 0u);
        ASSERT_EQ(handle & 0x80000000u, 0u);
        if (i % 4096 == 0) {
            seen.insert(handle);
        }
    }
    EXPECT_EQ(table.add('y'), 0u) << "full";
    table.remove(*seen.begin());
    EXPECT_NE(table.add('z'), 0u) << "room again after a removal";
}

TEST(HandleTable, KeepsGenerationsBelowTheTopBitAcrossManyReuses) {
    HandleTable<int> table;
    uint32_t previous = 0;
    for (int i = 0; i < 5000; ++i) {
        const uint32_t handle = table.add(i);
        ASSERT_EQ(handle & 0x80000000u, 0u);
        ASSERT_NE(handle, previous);
        table.remove(handle);
        previous = handle;
    }
}
