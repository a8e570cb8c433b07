#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "common/HybridArray.h"
#include "tests/common/ArrayElements.h"

namespace qz::common::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

template <typename T>
class HybridArrayTest : public ::testing::Test {
protected:
    using Array = HybridArray<T, 0, StandardDataHelper<T>>;

    static T Make(int id) { return Elements<T>::Make(id); }

    // An array holding the given ids, grown by Add only.
    static Array Filled(const std::vector<int>& ids) {
        Array array;
        Append<T>(array, ids);
        return array;
    }
};

using ElementTypes = ::testing::Types<char, unsigned short, unsigned int, Tracked, Slot>;
TYPED_TEST_SUITE(HybridArrayTest, ElementTypes);

// --- a new array ---------------------------------------------------------------------------

TYPED_TEST(HybridArrayTest, NewArrayIsEmptyWithNoStorageButNonNullData) {
    typename TestFixture::Array array;
    EXPECT_EQ(array.GetSize(), 0u);
    EXPECT_EQ(array.GetCapacity(), 0u);
    EXPECT_NE(array.GetData(), nullptr);
}

TYPED_TEST(HybridArrayTest, RemovalsOnNewArrayChangeNothing) {
    typename TestFixture::Array array;
    array.Clear();
    array.Truncate(0);
    array.RemoveFirst(5);
    EXPECT_EQ(array.GetSize(), 0u);
    EXPECT_EQ(array.GetCapacity(), 0u);
}

// --- growth --------------------------------------------------------------------------------

TYPED_TEST(HybridArrayTest, AddReturnsIndexAndDoublesCapacity) {
    typename TestFixture::Array array;
    const unsigned int expectedCapacity[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (unsigned int i = 0; i < 9; ++i) {
        EXPECT_EQ(array.Add(this->Make(static_cast<int>(i))), i);
        EXPECT_EQ(array.GetCapacity(), expectedCapacity[i]) << "after add " << i;
    }
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8));
}

TYPED_TEST(HybridArrayTest, ReserveRoundsUpToPowerOfTwoAndNeverShrinks) {
    typename TestFixture::Array array;
    array.Reserve(5);
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_EQ(array.GetSize(), 0u);
    array.Reserve(3);
    EXPECT_EQ(array.GetCapacity(), 8u);
    array.Reserve(8);
    EXPECT_EQ(array.GetCapacity(), 8u);
}

TYPED_TEST(HybridArrayTest, ReserveDoublesFromCurrentCapacityAndKeepsElements) {
    auto array = TestFixture::Filled({0, 1, 2});  // capacity 4
    array.Reserve(17);
    EXPECT_EQ(array.GetCapacity(), 32u);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2));
}

TYPED_TEST(HybridArrayTest, AddRangeBeyondCapacityDoubles) {
    typename TestFixture::Array array;
    array.Reserve(8);
    std::vector<TypeParam> source;
    for (int i = 0; i < 9; ++i) {
        source.push_back(this->Make(i));
    }
    array.AddRange(source.data(), 9);
    EXPECT_EQ(array.GetCapacity(), 16u);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8));
}

TYPED_TEST(HybridArrayTest, AddRangeOfNothingAcceptsNull) {
    auto array = TestFixture::Filled({0, 1});
    array.AddRange(nullptr, 0);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1));
    EXPECT_EQ(array.GetCapacity(), 2u);
}

TYPED_TEST(HybridArrayTest, ResizeGrowsAndShrinksTheSizeOnly) {
    auto array = TestFixture::Filled({0, 1, 2});
    array.Resize(6);
    EXPECT_EQ(array.GetSize(), 6u);
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_THAT(Ids(array), ::testing::IsSupersetOf({0, 1, 2}));
    array.Resize(2);
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1));
}

// --- removal -------------------------------------------------------------------------------

TYPED_TEST(HybridArrayTest, RemoveAtKeepsOrder) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    array.RemoveAt(1);
    EXPECT_THAT(Ids(array), ElementsAre(0, 2, 3));
    array.RemoveAt(2);
    EXPECT_THAT(Ids(array), ElementsAre(0, 2));
    array.RemoveAt(0);
    EXPECT_THAT(Ids(array), ElementsAre(2));
    EXPECT_EQ(array.GetCapacity(), 4u);
}

TYPED_TEST(HybridArrayTest, RemoveAtFastMovesTheLastElementIn) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    array.RemoveAtFast(1);
    EXPECT_THAT(Ids(array), ElementsAre(0, 3, 2));

    auto last = TestFixture::Filled({0, 1, 2, 3});
    last.RemoveAtFast(3);
    EXPECT_THAT(Ids(last), ElementsAre(0, 1, 2));
    last.RemoveAtFast(0);
    last.RemoveAtFast(0);
    last.RemoveAtFast(0);
    EXPECT_THAT(Ids(last), IsEmpty());
    EXPECT_EQ(last.GetCapacity(), 4u);
}

TYPED_TEST(HybridArrayTest, RemoveFirstShiftsOrClears) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    array.RemoveFirst(0);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3));
    array.RemoveFirst(2);
    EXPECT_THAT(Ids(array), ElementsAre(2, 3));

    for (unsigned int count : {4u, 9u, 0xFFFFFFFFu}) {
        auto all = TestFixture::Filled({0, 1, 2, 3});
        all.RemoveFirst(count);
        EXPECT_EQ(all.GetSize(), 0u) << count;
        EXPECT_EQ(all.GetCapacity(), 4u) << count;
    }
}

TYPED_TEST(HybridArrayTest, PopReturnsTheLastElement) {
    auto array = TestFixture::Filled({0, 1});
    EXPECT_EQ(Elements<TypeParam>::Id(array.Pop()), 1);
    EXPECT_THAT(Ids(array), ElementsAre(0));
    EXPECT_EQ(Elements<TypeParam>::Id(array.Pop()), 0);
    EXPECT_EQ(array.GetSize(), 0u);
    EXPECT_EQ(array.GetCapacity(), 2u);
}

TYPED_TEST(HybridArrayTest, TruncateOnlyLowersTheSize) {
    auto array = TestFixture::Filled({0, 1, 2});
    array.Truncate(7);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2));
    array.Truncate(3);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2));
    array.Truncate(2);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1));
    array.Truncate(0);
    EXPECT_EQ(array.GetSize(), 0u);
    EXPECT_EQ(array.GetCapacity(), 4u);
}

TYPED_TEST(HybridArrayTest, ClearKeepsStorageForReuse) {
    auto array = TestFixture::Filled({0, 1, 2, 3, 4});
    TypeParam* const data = array.GetData();
    array.Clear();
    EXPECT_EQ(array.GetSize(), 0u);
    EXPECT_EQ(array.GetCapacity(), 8u);
    Append<TypeParam>(array, {5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(array.GetData(), data);
    EXPECT_THAT(Ids(array), ElementsAre(5, 6, 7, 8, 9, 10, 11, 12));
}

// --- insertion -----------------------------------------------------------------------------

TYPED_TEST(HybridArrayTest, InsertShiftsUpAndClampsTheIndex) {
    auto array = TestFixture::Filled({0, 1, 2});
    EXPECT_EQ(array.Insert(this->Make(9), 1), 1u);
    EXPECT_THAT(Ids(array), ElementsAre(0, 9, 1, 2));

    auto clamped = TestFixture::Filled({0, 1, 2});
    EXPECT_EQ(clamped.Insert(this->Make(9), 10), 3u);
    EXPECT_THAT(Ids(clamped), ElementsAre(0, 1, 2, 9));
    EXPECT_EQ(clamped.Insert(this->Make(8), 0xFFFFFFFFu), 4u);
    EXPECT_EQ(clamped.Insert(this->Make(7), 0), 0u);
    EXPECT_THAT(Ids(clamped), ElementsAre(7, 0, 1, 2, 9, 8));
}

TYPED_TEST(HybridArrayTest, InsertIntoEmptyArrayAppends) {
    typename TestFixture::Array array;
    EXPECT_EQ(array.Insert(this->Make(4), 5), 0u);
    EXPECT_EQ(array.GetCapacity(), 1u);
    EXPECT_THAT(Ids(array), ElementsAre(4));
}

TYPED_TEST(HybridArrayTest, InsertIntoFullArrayGrowsFirst) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    EXPECT_EQ(array.Insert(this->Make(9), 2), 2u);
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 9, 2, 3));
}

// --- copies and assignment -----------------------------------------------------------------

TYPED_TEST(HybridArrayTest, CopyConstructionCopiesElementsIntoOwnStorage) {
    auto source = TestFixture::Filled({0, 1, 2});
    typename TestFixture::Array copy(source);
    EXPECT_THAT(Ids(copy), ElementsAre(0, 1, 2));
    EXPECT_NE(copy.GetData(), source.GetData());
    copy.At(0) = this->Make(7);
    EXPECT_THAT(Ids(source), ElementsAre(0, 1, 2));
}

TYPED_TEST(HybridArrayTest, AssignmentReplacesTargetAndKeepsSource) {
    auto source = TestFixture::Filled({0, 1, 2});
    auto target = TestFixture::Filled({5, 6, 7, 8, 9});
    target = source;
    EXPECT_THAT(Ids(target), ElementsAre(0, 1, 2));
    EXPECT_EQ(target.GetCapacity(), 8u);  // storage is kept, never shrunk
    EXPECT_THAT(Ids(source), ElementsAre(0, 1, 2));
    EXPECT_EQ(source.GetCapacity(), 4u);

    typename TestFixture::Array empty;
    target = empty;
    EXPECT_EQ(target.GetSize(), 0u);
}

TYPED_TEST(HybridArrayTest, AssignmentThroughTheInterface) {
    auto source = TestFixture::Filled({0, 1, 2});
    auto target = TestFixture::Filled({5});
    IArray<TypeParam>& targetInterface = target;
    const IArray<TypeParam>& sourceInterface = source;
    targetInterface = sourceInterface;
    EXPECT_THAT(Ids(target), ElementsAre(0, 1, 2));
    EXPECT_THAT(Ids(source), ElementsAre(0, 1, 2));

    target.AddRange(sourceInterface);
    EXPECT_THAT(Ids(target), ElementsAre(0, 1, 2, 0, 1, 2));
}

TYPED_TEST(HybridArrayTest, SelfAssignmentLeavesArrayUnchanged) {
    auto array = TestFixture::Filled({0, 1, 2});
    auto& alias = array;
    array = alias;
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2));
    IArray<TypeParam>& asInterface = array;
    asInterface = static_cast<const IArray<TypeParam>&>(array);
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2));
    EXPECT_EQ(array.GetCapacity(), 4u);
}

// --- sources inside the array's own storage ------------------------------------------------
// Growth releases the old block; these only pass (and ASan stays quiet) when the source is
// read before, or found again after, the reallocation.

TYPED_TEST(HybridArrayTest, AddOwnElementAcrossGrowth) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    ASSERT_EQ(array.GetCapacity(), array.GetSize());
    array.Add(array.At(1));
    array.Add(array.At(4));
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 1, 1));
    EXPECT_EQ(array.GetCapacity(), 8u);
}

TYPED_TEST(HybridArrayTest, AddRangeOfOwnStorageAcrossGrowth) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    array.AddRange(array.GetData(), array.GetSize());
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 0, 1, 2, 3));
    EXPECT_EQ(array.GetCapacity(), 8u);

    array.AddRange(array.GetData() + 5, 2);  // grows from 8 to 16
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 0, 1, 2, 3, 1, 2));
    EXPECT_EQ(array.GetCapacity(), 16u);

    array.AddRange(array.GetData() + 9, 1);  // no growth, still its own storage
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 2));
}

TYPED_TEST(HybridArrayTest, AddRangeOfItselfThroughTheInterface) {
    auto array = TestFixture::Filled({0, 1});
    array.AddRange(static_cast<const IArray<TypeParam>&>(array));
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 0, 1));
    EXPECT_EQ(array.GetCapacity(), 4u);
}

TYPED_TEST(HybridArrayTest, InsertOwnElementAcrossGrowth) {
    auto array = TestFixture::Filled({0, 1, 2, 3});
    EXPECT_EQ(array.Insert(array.At(3), 0), 0u);
    EXPECT_THAT(Ids(array), ElementsAre(3, 0, 1, 2, 3));
    // Without growth the element is shifted before the new one is stored; the value taken
    // first must win.
    EXPECT_EQ(array.Insert(array.At(2), 1), 1u);
    EXPECT_THAT(Ids(array), ElementsAre(3, 1, 0, 1, 2, 3));
}

// --- inline storage ------------------------------------------------------------------------

TYPED_TEST(HybridArrayTest, InlineStorageHoldsFirstElementsThenMovesToHeap) {
    using Inline = HybridArray<TypeParam, 4, StandardDataHelper<TypeParam>>;
    Inline array;
    EXPECT_EQ(array.GetCapacity(), 4u);
    const auto* const begin = reinterpret_cast<const unsigned char*>(&array);
    const auto inside = [&](const TypeParam* data) {
        const auto* p = reinterpret_cast<const unsigned char*>(data);
        return p >= begin && p < begin + sizeof(Inline);
    };
    Append<TypeParam>(array, {0, 1, 2, 3});
    EXPECT_EQ(array.GetCapacity(), 4u);
    EXPECT_TRUE(inside(array.GetData()));

    array.Add(array.At(0));
    EXPECT_EQ(array.GetCapacity(), 8u);
    EXPECT_FALSE(inside(array.GetData()));
    EXPECT_THAT(Ids(array), ElementsAre(0, 1, 2, 3, 0));

    Inline copy(array);
    EXPECT_THAT(Ids(copy), ElementsAre(0, 1, 2, 3, 0));
    typename TestFixture::Array onHeap;
    onHeap = array;
    EXPECT_THAT(Ids(onHeap), ElementsAre(0, 1, 2, 3, 0));
}

TYPED_TEST(HybridArrayTest, InlineStorageCopiesStayInline) {
    HybridArray<TypeParam, 3, StandardDataHelper<TypeParam>> array;
    Append<TypeParam>(array, {0, 1});
    auto copy = array;
    copy.Add(this->Make(5));
    EXPECT_EQ(copy.GetCapacity(), 3u);
    EXPECT_THAT(Ids(copy), ElementsAre(0, 1, 5));
    EXPECT_THAT(Ids(array), ElementsAre(0, 1));
    copy.Add(this->Make(6));
    EXPECT_EQ(copy.GetCapacity(), 6u);  // doubling starts from the inline capacity
}

// --- class element types -------------------------------------------------------------------

TEST(HybridArrayClassElements, NewElementsAreDefaultConstructed) {
    HybridArray<Slot> slots;
    slots.Resize(3);
    ASSERT_EQ(slots.GetSize(), 3u);
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_FALSE(slots.At(i).inUse) << i;
    }

    HybridArray<Tracked> tracked;
    tracked.Add(Tracked(5));
    tracked.Truncate(0);
    tracked.Resize(1);  // same storage: the old element is constructed over
    EXPECT_EQ(tracked.At(0).value, -1);
}

TEST(HybridArrayClassElements, FreeSlotCopiesKeepTheirValueButNotTheirKey) {
    Slot used(7, ListenerFor(7));
    Slot target(3, ListenerFor(3));
    Slot freeSlot;
    freeSlot.value = ListenerFor(9);
    target = freeSlot;
    EXPECT_FALSE(target.inUse);
    EXPECT_EQ(target.value, ListenerFor(9));
    target = used;
    EXPECT_TRUE(target.inUse);
    EXPECT_EQ(target.key, 7u);
    EXPECT_EQ(target.value, ListenerFor(7));
}

TEST(StandardDataHelper, NonPositiveCountsDoNothing) {
    unsigned int block[3] = {1, 2, 3};
    const unsigned int other[3] = {7, 8, 9};
    StandardDataHelper<unsigned int>::Copy(block, other, 0);
    StandardDataHelper<unsigned int>::Copy(block, other, -1);
    StandardDataHelper<unsigned int>::Move(block, 0, 1, -2);
    EXPECT_THAT(block, ElementsAre(1u, 2u, 3u));

    Tracked tracked[2] = {Tracked(1), Tracked(2)};
    StandardDataHelper<Tracked>::Move(tracked, 0, 1, 0);
    EXPECT_EQ(tracked[0].value, 1);
}

}  // namespace
}  // namespace qz::common::testing
