#include <gtest/gtest.h>

#include "common/HashTable.h"

// A table given its own hash helper must call exactly that helper, the way the plain
// algorithm does: the fast paths of the standard helper must not leak into other helpers.

namespace qz::common::testing {
namespace {

struct CountingHelper {
    static inline unsigned int hashCalls = 0;
    static inline unsigned int compareCalls = 0;

    static unsigned int Hash1(const unsigned int& key, unsigned int seed) {
        ++hashCalls;
        return StandardHashHelper<unsigned int>::Hash1(key, seed);
    }
    static unsigned int Hash2(const unsigned int& key, unsigned int seed) {
        ++hashCalls;
        return StandardHashHelper<unsigned int>::Hash2(key, seed);
    }
    static bool IsEqual(const unsigned int& a, const unsigned int& b) {
        ++compareCalls;
        return a == b;
    }
};

// Derived from the standard helper but hashing every key to slots 0 and 1.
struct CollidingHelper : StandardHashHelper<unsigned int> {
    static unsigned int Hash1(const unsigned int&, unsigned int) { return 0; }
    static unsigned int Hash2(const unsigned int&, unsigned int) { return 1; }
};

TEST(HashTableHelper, FreeSlotsAreNeverCompared) {
    HashTable<unsigned int, int, CountingHelper> table;
    CountingHelper::compareCalls = 0;
    HashTable<unsigned int, int, CountingHelper>::KeyItem* item;
    EXPECT_FALSE(table.Find(7, item));
    table.Remove(7);
    EXPECT_EQ(CountingHelper::compareCalls, 0u);

    table.Set(7, 1);
    CountingHelper::compareCalls = 0;
    ASSERT_TRUE(table.Find(7, item));
    table.Remove(7);
    // One comparison for each lookup of the one slot in use.
    EXPECT_EQ(CountingHelper::compareCalls, 2u);
}

TEST(HashTableHelper, LookupsHashOnceEachWay) {
    HashTable<unsigned int, int, CountingHelper> table;
    table.Set(3, 30);
    CountingHelper::hashCalls = 0;
    int value = 0;
    EXPECT_TRUE(table.Get(3, value));
    EXPECT_EQ(value, 30);
    EXPECT_EQ(CountingHelper::hashCalls, 2u);
}

TEST(HashTableHelper, DerivedHelperDecidesTheSlots) {
    HashTable<unsigned int, int, CollidingHelper> table;
    table.Set(10, 1);
    table.Set(20, 2);
    ASSERT_EQ(table.GetSlotCount(), 2u);
    // 20 takes its first candidate, slot 0, and pushes 10 to its other one, slot 1.
    EXPECT_EQ(table.GetSlot(0).key, 20u);
    EXPECT_EQ(table.GetSlot(1).key, 10u);
    int value = 0;
    EXPECT_TRUE(table.Get(10, value));
    EXPECT_EQ(value, 1);
}

}  // namespace
}  // namespace qz::common::testing
