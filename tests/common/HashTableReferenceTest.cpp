#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/HashTable.h"
#include "tests/common/ArrayElements.h"
#include "tests/common/HashTableChecks.h"

// Reference values and slot layouts that stored request tables depend on: any change to the
// hashes, the seed sequence or the displacement order shows up here.

namespace qz::common::testing {
namespace {

using Hash = StandardHashHelper<unsigned int>;

Listener* ValueFor(unsigned int key) {
    return ListenerFor(static_cast<int>(key & 0xFF));
}

void SetKeys(ListenerTable& table, unsigned int first, unsigned int last) {
    for (unsigned int key = first; key <= last; ++key) {
        table.Set(key, ValueFor(key));
    }
}

// Whether `table` holds `key`, with the value `expected`.
::testing::AssertionResult Holds(ListenerTable& table, unsigned int key, Listener* expected) {
    Listener* value = nullptr;
    if (!table.Get(key, value)) {
        return ::testing::AssertionFailure() << "key " << key << " is missing";
    }
    if (value != expected) {
        return ::testing::AssertionFailure()
               << "key " << key << " holds " << value << ", not " << expected;
    }
    return ::testing::AssertionSuccess();
}

// --- the byte hashes -----------------------------------------------------------------------

struct HashCase {
    unsigned int key;
    unsigned int seed;
    unsigned int hash1;
    unsigned int hash2;
};

const HashCase kHashCases[] = {
    {0x00000001, 0, 0x7BB2BDA4, 0x2E86D0BF},     //
    {0x12345678, 0, 0x7BD0A90D, 0xF9BF1BBC},     //
    {0x40302010, 0x80, 0xAE731E85, 0x6F8628A0},  // seed byte 0x80 widens with its sign
    {0xFFFFFFFF, 1, 0x8F476164, 0x79EC513F},     // data bytes 0xFF stay unsigned
    {0x00000000, 0, 0x7BB34A05, 0x00000000},     //
};

TEST(HashBytes, ReferenceValuesOfFourByteKeys) {
    for (const HashCase& c : kHashCases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "key " << c.key << " seed " << c.seed);
        EXPECT_EQ(Hash::Hash1(c.key, c.seed), c.hash1);
        EXPECT_EQ(Hash::Hash2(c.key, c.seed), c.hash2);
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(c.key), static_cast<unsigned char>(c.key >> 8),
            static_cast<unsigned char>(c.key >> 16), static_cast<unsigned char>(c.key >> 24)};
        EXPECT_EQ(HashBytes1(bytes, c.seed, 4), c.hash1);
        EXPECT_EQ(HashBytes2(bytes, c.seed, 4), c.hash2);
    }
}

TEST(HashBytes, SeedAloneAndLongerData) {
    // Zero data bytes hash the four seed bytes only: djb2 of 5381 over 00 00 00 00 is
    // 5381 * 33^4, and sdbm of four zero bytes is 0.
    EXPECT_EQ(HashBytes1(nullptr, 0, 0), 5381u * 33u * 33u * 33u * 33u);
    EXPECT_EQ(HashBytes2(nullptr, 0, 0), 0u);
    // Seed 0xFFFFFFFF is four bytes of -1.
    const unsigned int minusOne = 0xFFFFFFFFu;
    unsigned int sdbm = 0;
    for (int i = 0; i < 4; ++i) {
        sdbm = sdbm * 65599u + minusOne;
    }
    EXPECT_EQ(HashBytes2(nullptr, 0xFFFFFFFFu, 0), sdbm);

    // A key longer than four bytes runs on byte by byte: appending one byte b to the data
    // maps h to h * 33 ^ b and h * 65599 + b.
    const unsigned char data[6] = {0x10, 0x80, 0xFF, 0x00, 0x7F, 0x81};
    for (unsigned int length = 0; length < 6; ++length) {
        EXPECT_EQ(HashBytes1(data, 77, length + 1),
                  (HashBytes1(data, 77, length) * 33u) ^ data[length]);
        EXPECT_EQ(HashBytes2(data, 77, length + 1),
                  HashBytes2(data, 77, length) * 65599u + data[length]);
    }
}

TEST(HashBytes, KeyHelperAgreesWithByteHashes) {
    // The helper for 4-byte keys may take shortcuts; it must agree with the byte hashes for
    // every seed a table can reach and for seeds with high bytes set.
    std::uint32_t state = 12345;
    const unsigned int seeds[] = {0,  1,   2,   7,   31,  32,     63,
                                  64, 127, 128, 255, 256, 0x8080, 0xFFFFFFFF};
    for (unsigned int seed : seeds) {
        for (int i = 0; i < 2000; ++i) {
            state = state * 1664525u + 1013904223u;
            const unsigned int key = i < 256 ? static_cast<unsigned int>(i) * 0x01010101u : state;
            const unsigned char bytes[4] = {
                static_cast<unsigned char>(key), static_cast<unsigned char>(key >> 8),
                static_cast<unsigned char>(key >> 16), static_cast<unsigned char>(key >> 24)};
            ASSERT_EQ(Hash::Hash1(key, seed), HashBytes1(bytes, seed, 4)) << key << " " << seed;
            ASSERT_EQ(Hash::Hash2(key, seed), HashBytes2(bytes, seed, 4)) << key << " " << seed;
        }
    }
    EXPECT_TRUE(Hash::IsEqual(0x01020304u, 0x01020304u));
    EXPECT_FALSE(Hash::IsEqual(0x01020304u, 0x01020305u));
}

// --- a new table ---------------------------------------------------------------------------

TEST(HashTable, NewTableHasOneFreeSlot) {
    ListenerTable table;
    EXPECT_EQ(table.GetSlotCount(), 1u);
    EXPECT_EQ(table.GetSeed(), 0u);
    EXPECT_EQ(table.GetCount(), 0u);
    EXPECT_EQ(Layout(table), "-");

    ListenerTable::KeyItem* item = reinterpret_cast<ListenerTable::KeyItem*>(&table);
    EXPECT_FALSE(table.Find(0, item));
    EXPECT_EQ(item, nullptr);
    Listener* value = ListenerFor(3);
    EXPECT_FALSE(table.Get(0xFFFFFFFF, value));
    EXPECT_EQ(value, ListenerFor(3));
    table.Remove(0);
    table.Remove(1);
    EXPECT_EQ(table.GetSlotCount(), 1u);
    EXPECT_EQ(table.GetCount(), 0u);
}

// --- Set, Find, Get, Remove ----------------------------------------------------------------

TEST(HashTable, SetOfPresentKeyReplacesOnlyTheValue) {
    ListenerTable single;
    single.Set(7, ListenerFor(1));
    single.Set(7, ListenerFor(2));
    EXPECT_EQ(single.GetCount(), 1u);
    ASSERT_TRUE(Holds(single, 7, ListenerFor(2)));

    ListenerTable table;
    SetKeys(table, 1, 10);
    const std::string layout = Layout(table);
    ListenerTable::KeyItem* before = nullptr;
    ASSERT_TRUE(table.Find(9, before));
    table.Set(9, ListenerFor(200));
    ListenerTable::KeyItem* after = nullptr;
    ASSERT_TRUE(table.Find(9, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(after->value, ListenerFor(200));
    EXPECT_EQ(Layout(table), layout);
    EXPECT_EQ(table.GetCount(), 10u);
    EXPECT_EQ(table.GetSlotCount(), 16u);
    EXPECT_EQ(table.GetSeed(), 4u);
}

TEST(HashTable, FindGivesAWritableSlot) {
    ListenerTable table;
    SetKeys(table, 1, 5);
    ListenerTable::KeyItem* item = nullptr;
    ASSERT_TRUE(table.Find(4, item));
    EXPECT_EQ(item->key, 4u);
    EXPECT_EQ(item->value, ValueFor(4));
    item->value = ListenerFor(99);
    ASSERT_TRUE(Holds(table, 4, ListenerFor(99)));
}

TEST(HashTable, ExtremeKeysAreOrdinaryKeys) {
    EXPECT_EQ(Hash::Hash2(0, 0), 0u);
    ListenerTable table;
    table.Set(0, ListenerFor(10));
    table.Set(0xFFFFFFFF, ListenerFor(20));
    EXPECT_EQ(table.GetCount(), 2u);
    ASSERT_TRUE(Holds(table, 0, ListenerFor(10)));
    ASSERT_TRUE(Holds(table, 0xFFFFFFFF, ListenerFor(20)));
    Listener* value = nullptr;
    EXPECT_FALSE(table.Get(1, value));
    EXPECT_FALSE(table.Get(0xFFFFFFFE, value));
    table.Remove(0);
    EXPECT_FALSE(table.Get(0, value));
    EXPECT_TRUE(table.Get(0xFFFFFFFF, value));
    EXPECT_EQ(table.GetCount(), 1u);
    EXPECT_TRUE(HoldsInvariants(table));
}

TEST(HashTable, RemoveFreesOnlyTheKeysSlotWhateverWasFoundBefore) {
    ListenerTable table;
    SetKeys(table, 1, 10);
    ListenerTable::KeyItem* item = nullptr;
    ASSERT_TRUE(table.Find(3, item));
    table.Remove(4);  // a different key than the one just found
    EXPECT_TRUE(table.Find(3, item));
    EXPECT_FALSE(table.Find(4, item));
    EXPECT_FALSE(table.Find(77, item));  // an absent key, then a present one
    table.Remove(9);
    EXPECT_FALSE(table.Find(9, item));
    EXPECT_TRUE(table.Find(6, item));
    SetKeys(table, 11, 40);  // grows: the found key has moved
    table.Remove(6);
    EXPECT_FALSE(table.Find(6, item));
    EXPECT_EQ(table.GetCount(), 37u);
    EXPECT_TRUE(HoldsInvariants(table));
    for (unsigned int key = 1; key <= 40; ++key) {
        EXPECT_EQ(table.Find(key, item), key != 4 && key != 6 && key != 9) << key;
    }
}

// --- growth and slot layouts ---------------------------------------------------------------

TEST(HashTable, KeysOneToTenGrowStepByStep) {
    struct Step {
        unsigned int slots;
        unsigned int seed;
        const char* layout;  // checked when not null
    };
    const Step steps[] = {
        {1, 0, nullptr},  {2, 1, nullptr},
        {4, 2, nullptr},  {4, 2, "3 2 1 4"},
        {8, 3, nullptr},  {8, 3, nullptr},
        {8, 3, nullptr},  {8, 3, "6 7 4 5 2 3 8 1"},  // full: eight items in eight slots
        {16, 4, nullptr}, {16, 4, "1 - 3 2 5 4 7 6 9 8 - 10 - - - -"},
    };
    ListenerTable table;
    for (unsigned int key = 1; key <= 10; ++key) {
        table.Set(key, ValueFor(key));
        const Step& step = steps[key - 1];
        SCOPED_TRACE(::testing::Message() << "after key " << key);
        EXPECT_EQ(table.GetSlotCount(), step.slots);
        EXPECT_EQ(table.GetSeed(), step.seed);
        EXPECT_EQ(table.GetCount(), key);
        if (step.layout != nullptr) {
            EXPECT_EQ(Layout(table), step.layout);
        }
        EXPECT_TRUE(HoldsInvariants(table));
    }
}

TEST(HashTable, RemovedKeyReturnsToItsSlot) {
    ListenerTable table;
    SetKeys(table, 1, 10);
    table.Remove(5);
    EXPECT_EQ(Layout(table), "1 - 3 2 - 4 7 6 9 8 - 10 - - - -");
    EXPECT_EQ(table.GetCount(), 9u);
    EXPECT_EQ(table.GetSlotCount(), 16u);
    EXPECT_EQ(table.GetSeed(), 4u);
    table.Remove(5);  // absent now: nothing changes
    EXPECT_EQ(table.GetCount(), 9u);
    table.Set(5, ValueFor(5));
    EXPECT_EQ(Layout(table), "1 - 3 2 5 4 7 6 9 8 - 10 - - - -");
    EXPECT_EQ(table.GetCount(), 10u);
}

TEST(HashTable, KeysZeroToThree) {
    ListenerTable table;
    SetKeys(table, 0, 3);
    EXPECT_EQ(table.GetSlotCount(), 4u);
    EXPECT_EQ(table.GetSeed(), 2u);
    EXPECT_EQ(Layout(table), "3 2 1 0");
}

TEST(HashTable, NestedRehashWithinOneSet) {
    ListenerTable table;
    SetKeys(table, 1, 349);
    EXPECT_EQ(table.GetSlotCount(), 512u);
    EXPECT_EQ(table.GetSeed(), 9u);
    EXPECT_TRUE(HoldsInvariants(table));

    // Two rehashes inside this one Set, the second from a re-insertion during the first.
    table.Set(350, ValueFor(350));
    EXPECT_EQ(table.GetSlotCount(), 2048u);
    EXPECT_EQ(table.GetSeed(), 11u);
    EXPECT_EQ(table.GetCount(), 350u);
    EXPECT_TRUE(HoldsInvariants(table));
    for (unsigned int key = 1; key <= 350; ++key) {
        ASSERT_TRUE(Holds(table, key, ValueFor(key)));
    }
}

TEST(HashTable, NewKeyTakesItsFirstCandidateEvenWhenTheSecondIsFree) {
    ListenerTable table;
    SetKeys(table, 1, 10);
    const unsigned int n = table.GetSlotCount();
    const unsigned int seed = table.GetSeed();
    // Find a new key whose first candidate is taken and whose second is free, and whose
    // first candidate's occupant has a free other candidate, so no rehash follows.
    for (unsigned int key = 11; key < 1000; ++key) {
        const unsigned int first = Hash::Hash1(key, seed) % n;
        const unsigned int second = Hash::Hash2(key, seed) % n;
        const auto& occupant = table.GetSlot(first);
        if (first == second || !occupant.inUse || table.GetSlot(second).inUse) {
            continue;
        }
        const unsigned int occupantKey = occupant.key;
        const unsigned int occupantFirst = Hash::Hash1(occupantKey, seed) % n;
        const unsigned int occupantOther =
            occupantFirst == first ? Hash::Hash2(occupantKey, seed) % n : occupantFirst;
        if (occupantOther == first || occupantOther == second ||
            table.GetSlot(occupantOther).inUse) {
            continue;
        }
        table.Set(key, ValueFor(key));
        EXPECT_EQ(table.GetSlot(first).key, key);
        EXPECT_FALSE(table.GetSlot(second).inUse);
        EXPECT_TRUE(table.GetSlot(occupantOther).inUse);
        EXPECT_EQ(table.GetSlot(occupantOther).key, occupantKey);
        EXPECT_EQ(table.GetSlotCount(), n);
        EXPECT_EQ(table.GetSeed(), seed);
        return;
    }
    FAIL() << "no key with a taken first and a free second candidate";
}

}  // namespace
}  // namespace qz::common::testing
