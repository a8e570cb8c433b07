#include <gtest/gtest.h>

#include <cstddef>

#include "common/FatalError.h"
#include "common/HybridArray.h"
#include "tests/common/ArrayElements.h"

namespace qz::common::testing {
namespace {

// Every broken precondition ends the process through FatalError, silently.

template <typename T>
class HybridArrayDeathTest : public ::testing::Test {
protected:
    using Array = HybridArray<T, 0, StandardDataHelper<T>>;

    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    static Array Filled(const std::vector<int>& ids) {
        Array array;
        Append<T>(array, ids);
        return array;
    }
};

using ElementTypes = ::testing::Types<char, unsigned int, Tracked, Slot>;
TYPED_TEST_SUITE(HybridArrayDeathTest, ElementTypes);

TEST(FatalErrorDeathTest, EndsTheProcessSilently) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(FatalError(), "^$");
}

TYPED_TEST(HybridArrayDeathTest, AtOutOfRange) {
    typename TestFixture::Array empty;
    EXPECT_DEATH(empty.At(0), "");
    auto array = TestFixture::Filled({0, 1, 2});
    const auto& constArray = array;
    EXPECT_DEATH(array.At(3), "");
    EXPECT_DEATH(constArray.At(3), "");
    EXPECT_DEATH(constArray.At(0xFFFFFFFFu), "");
    array.Truncate(1);  // storage still holds three elements, but only one is live
    EXPECT_DEATH(array.At(1), "");
    EXPECT_DEATH(constArray.At(1), "");
}

TYPED_TEST(HybridArrayDeathTest, RemoveAtOutOfRange) {
    typename TestFixture::Array empty;
    EXPECT_DEATH(empty.RemoveAt(0), "");
    auto array = TestFixture::Filled({0, 1, 2});
    EXPECT_DEATH(array.RemoveAt(3), "");
    EXPECT_DEATH(array.RemoveAt(0xFFFFFFFFu), "");
}

TYPED_TEST(HybridArrayDeathTest, RemoveAtFastOutOfRange) {
    typename TestFixture::Array empty;
    EXPECT_DEATH(empty.RemoveAtFast(0), "");
    auto array = TestFixture::Filled({0, 1, 2});
    EXPECT_DEATH(array.RemoveAtFast(3), "");
}

TYPED_TEST(HybridArrayDeathTest, PopOnEmpty) {
    typename TestFixture::Array empty;
    EXPECT_DEATH(empty.Pop(), "");
    auto array = TestFixture::Filled({0});
    array.Pop();
    EXPECT_DEATH(array.Pop(), "");
}

TYPED_TEST(HybridArrayDeathTest, CapacityDoublingOverflow) {
    // The smallest power of two not below the request would be 2^32.
    typename TestFixture::Array array;
    EXPECT_DEATH(array.Reserve(0x80000001u), "");
    EXPECT_DEATH(array.Reserve(0xFFFFFFFFu), "");
    auto filled = TestFixture::Filled({0, 1, 2});
    EXPECT_DEATH(filled.Resize(0xF0000000u), "");
}

TYPED_TEST(HybridArrayDeathTest, SizeOverflowInAddRange) {
    // size + count would wrap to a small number; nothing may be read from the source.
    auto array = TestFixture::Filled({0, 1});
    EXPECT_DEATH(array.AddRange(array.GetData(), 0xFFFFFFFFu), "");
}

// 128 KiB elements: 2^31 of them is 2^48 bytes, beyond any address space.
struct Large {
    unsigned char bytes[std::size_t{1} << 17];
};

// Elements of which 2^31 make exactly 2^(bits of size_t) bytes, which wraps to 0: 8 GiB with a
// 64-bit size_t, 2 bytes with a 32-bit one. Never instantiated; a class type so that no block
// copy of that size is even compiled.
struct Enormous {
    Enormous() {}
    Enormous(const Enormous&) {}
    Enormous& operator=(const Enormous&) { return *this; }
    unsigned char bytes[std::size_t{1} << (sizeof(std::size_t) * 8 - 31)];
};

TEST(HybridArrayAllocationDeathTest, GrowthTooLargeToAllocate) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    HybridArray<Large> array;
    EXPECT_DEATH(array.Reserve(0x80000000u), "");
    EXPECT_DEATH(array.Resize(0x7FFFFFFFu), "");
}

TEST(HybridArrayAllocationDeathTest, ByteSizeThatWouldWrapIsNeverAllocated) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    HybridArray<Enormous> array;
    EXPECT_DEATH(array.Reserve(0x80000000u), "");
}

}  // namespace
}  // namespace qz::common::testing
