#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/HashTable.h"

namespace qz::common::testing {

/// The table's slots from slot 0 upward: each key in decimal, "-" for a free slot.
template <typename Table>
std::string Layout(const Table& table) {
    std::string layout;
    for (unsigned int i = 0; i < table.GetSlotCount(); ++i) {
        const auto& slot = table.GetSlot(i);
        layout += (i == 0 ? "" : " ") + (slot.inUse ? std::to_string(slot.key) : "-");
    }
    return layout;
}

/// The table's invariants: the slot count is a power of two, every item lies in one of its
/// two candidate slots under the current seed, and the count matches the slots in use.
template <typename K, typename V, typename H>
::testing::AssertionResult HoldsInvariants(const HashTable<K, V, H>& table) {
    const unsigned int n = table.GetSlotCount();
    if (n == 0 || (n & (n - 1)) != 0) {
        return ::testing::AssertionFailure() << "slot count " << n << " is not a power of two";
    }
    unsigned int inUse = 0;
    for (unsigned int i = 0; i < n; ++i) {
        const auto& slot = table.GetSlot(i);
        if (!slot.inUse) {
            continue;
        }
        ++inUse;
        const unsigned int first = H::Hash1(slot.key, table.GetSeed()) % n;
        const unsigned int second = H::Hash2(slot.key, table.GetSeed()) % n;
        if (i != first && i != second) {
            return ::testing::AssertionFailure()
                   << "key " << slot.key << " in slot " << i << ", candidates " << first << " and "
                   << second << " (n " << n << ", seed " << table.GetSeed() << ")";
        }
    }
    if (inUse != table.GetCount()) {
        return ::testing::AssertionFailure()
               << inUse << " slots in use, count says " << table.GetCount();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qz::common::testing
