#include <gtest/gtest.h>

#include "common/HashTable.h"

namespace {

using qz::common::StandardHashHelper;

TEST(HashBytes, ReferenceValues) {
    EXPECT_EQ(StandardHashHelper<unsigned int>::Hash1(1u, 0), 0x7BB2BDA4u);
    EXPECT_EQ(StandardHashHelper<unsigned int>::Hash2(1u, 0), 0x2E86D0BFu);
}

}  // namespace
