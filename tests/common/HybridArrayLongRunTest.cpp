#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <vector>

#include "common/HybridArray.h"

// The element helpers take int counts and indices, but an array may hold up to 2^31 elements.
// A helper that only records its calls shows how the array splits longer runs; the storage
// (gigabytes) is allocated but never touched.

namespace qz::common::testing {
namespace {

struct Call {
    char kind;  // 'c' for Copy, 'm' for Move
    const char* dst;
    const char* src;
    int count;
};

std::vector<Call>& Calls() {
    static std::vector<Call> calls;
    return calls;
}

struct RecordingHelper {
    static constexpr bool kBlockCopy = true;
    static void Construct(char*, unsigned int) {}
    static void Copy(char* dst, const char* src, int count) {
        Calls().push_back({'c', dst, src, count});
    }
    static void Move(char* items, int dst, int src, int count) {
        Calls().push_back({'m', items + dst, items + src, count});
    }
};

using Array = HybridArray<char, 0, RecordingHelper>;

// The calls cover `total` elements from `dst` and `src` in pieces of at most INT_MAX, lowest
// piece first when `ascending`, highest first otherwise.
void ExpectPieces(const char* dst, const char* src, long long total, bool ascending) {
    const std::vector<Call>& calls = Calls();
    ASSERT_GT(calls.size(), 1u);
    long long covered = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const Call& call = calls[ascending ? i : calls.size() - 1 - i];
        EXPECT_GT(call.count, 0);
        EXPECT_LE(call.count, INT_MAX);
        EXPECT_EQ(static_cast<const void*>(call.dst), static_cast<const void*>(dst + covered));
        EXPECT_EQ(static_cast<const void*>(call.src), static_cast<const void*>(src + covered));
        covered += call.count;
    }
    EXPECT_EQ(covered, total);
}

class HybridArrayLongRun : public ::testing::Test {
protected:
    void SetUp() override {
        // Runs beyond INT_MAX need storage of 2 GiB and more, which a 32-bit process cannot
        // even reserve.
        if (sizeof(void*) < 8) {
            GTEST_SKIP() << "needs a 64-bit address space";
        }
        Calls().clear();
    }

    // An array of `size` elements, with no calls recorded yet.
    static void Prepare(Array& array, unsigned int size) {
        array.Resize(size);
        Calls().clear();
    }
};

TEST_F(HybridArrayLongRun, RemoveFirstMovesDownInAscendingPieces) {
    Array array;
    Prepare(array, 0x80000000u);
    const char* data = array.GetData();
    array.RemoveFirst(1);
    ExpectPieces(data, data + 1, 0x7FFFFFFFLL, true);
    EXPECT_EQ(array.GetSize(), 0x7FFFFFFFu);
}

TEST_F(HybridArrayLongRun, RemoveFirstFurtherThanAPieceCopiesApart) {
    Array array;
    Prepare(array, 0x80000000u);
    const char* data = array.GetData();
    array.RemoveFirst(0x40000000u);  // pieces are shorter than the distance: no overlap
    ExpectPieces(data, data + 0x40000000, 0x40000000LL, true);
    for (const Call& call : Calls()) {
        EXPECT_EQ(call.kind, 'c');
    }
    EXPECT_EQ(array.GetSize(), 0x40000000u);
}

TEST_F(HybridArrayLongRun, RemoveAtMovesDownInAscendingPieces) {
    Array array;
    Prepare(array, 0x80000000u);
    const char* data = array.GetData();
    array.RemoveAt(5);
    ExpectPieces(data + 5, data + 6, 0x80000000LL - 6, true);
}

TEST_F(HybridArrayLongRun, InsertMovesUpInDescendingPieces) {
    Array array;
    Prepare(array, 0x7FFFFFF0u);
    const char* data = array.GetData();
    array.Insert('x', 3);
    // Each piece moves up by one; the highest piece goes first so nothing is overwritten.
    ExpectPieces(data + 4, data + 3, 0x7FFFFFF0LL - 3, false);
    EXPECT_EQ(array.GetSize(), 0x7FFFFFF1u);
}

TEST_F(HybridArrayLongRun, GrowthCopiesEveryElement) {
    Array array;
    Prepare(array, 0x40000000u);  // full: capacity 2^30
    const char* old = array.GetData();
    array.Reserve(0x40000001u);
    EXPECT_EQ(array.GetCapacity(), 0x80000000u);
    ExpectPieces(array.GetData(), old, 0x40000000LL, true);
}

}  // namespace
}  // namespace qz::common::testing
