#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/HashTable.h"
#include "tests/common/HashTableChecks.h"

// Long random sequences of Set, Find, Get and Remove, replayed on std::unordered_map; after
// every step the table must agree with the map and keep every item in a candidate slot.

namespace qz::common::testing {
namespace {

/// Twin keys (k and k ^ 1) share both candidate slots under every seed, so the two fight for
/// the same two slots and every other item pushed there starts a displacement chain. Three
/// keys never share both slots, so every set of keys still fits.
struct TwinHashHelper {
    static unsigned int Hash1(const unsigned int& key, unsigned int seed) {
        return StandardHashHelper<unsigned int>::Hash1(key >> 1, seed);
    }
    static unsigned int Hash2(const unsigned int& key, unsigned int seed) {
        return StandardHashHelper<unsigned int>::Hash2(key >> 1, seed);
    }
    static bool IsEqual(const unsigned int& a, const unsigned int& b) { return a == b; }
};

/// Where the keys of one run come from.
enum class Keys {
    kRandomPool,  // 600 random 32-bit keys, including 0 and 0xFFFFFFFF
    kSmallRange,  // 0..399: dense neighbours
    kWindow,      // request-id pattern: new ids from a counter, old ones answered
    kTwins,       // pairs of twin keys, used with TwinHashHelper
};

struct Scenario {
    Keys keys;
    std::uint32_t seed;
};

/// Every key of `expected` sits, with its value, in one of its two candidate slots under the
/// table's current seed and slot count.
template <typename H, typename Table, typename Map>
::testing::AssertionResult EachKeyInACandidateSlot(const Table& table, const Map& expected) {
    const unsigned int n = table.GetSlotCount();
    for (const auto& [key, value] : expected) {
        const auto& first = table.GetSlot(H::Hash1(key, table.GetSeed()) % n);
        const auto& second = table.GetSlot(H::Hash2(key, table.GetSeed()) % n);
        const bool inFirst = first.inUse && first.key == key;
        const bool inSecond = second.inUse && second.key == key;
        if (!inFirst && !inSecond) {
            return ::testing::AssertionFailure() << "key " << key << " not in a candidate slot";
        }
        if ((inFirst ? first : second).value != value) {
            return ::testing::AssertionFailure() << "key " << key << " has a wrong value";
        }
    }
    return ::testing::AssertionSuccess();
}

class Differential : public ::testing::TestWithParam<Scenario> {
protected:
    // Values are small integers stored as pointers; the table never dereferences them.
    using Value = const void*;

    static Value ValueOf(std::uint32_t x) {
        return reinterpret_cast<Value>(static_cast<std::uintptr_t>(x) * 8 + 8);
    }

    template <typename H>
    void Replay(const Scenario& run) {
        std::mt19937 random(run.seed);
        std::vector<unsigned int> pool;
        if (run.keys == Keys::kRandomPool) {
            pool = {0, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF};
            while (pool.size() < 600) {
                pool.push_back(static_cast<unsigned int>(random()));
            }
        } else if (run.keys == Keys::kTwins) {
            for (unsigned int i = 0; i < 200; ++i) {
                const unsigned int base = static_cast<unsigned int>(random()) & ~1u;
                pool.push_back(base);
                pool.push_back(base | 1);
            }
        }

        HashTable<unsigned int, Value, H> table;
        std::unordered_map<unsigned int, Value> expected;
        unsigned int nextId = static_cast<unsigned int>(random());
        unsigned int oldestId = nextId;
        const int kSteps = 30000;
        for (int step = 0; step < kSteps; ++step) {
            // Phases of growth and shrinkage, so tables fill, drain and fill again.
            const bool growing = (step / 3000) % 2 == 0;
            const unsigned int roll = random() % 100;
            unsigned int key;
            switch (run.keys) {
                case Keys::kSmallRange:
                    key = random() % 400;
                    break;
                case Keys::kWindow:
                    // Answers come mostly in order, some out of it, some for unknown ids.
                    key = roll < 50           ? nextId
                          : random() % 2 == 0 ? oldestId
                                              : oldestId + random() % (nextId - oldestId + 1);
                    break;
                default:
                    key = pool[random() % pool.size()];
                    break;
            }
            const Value value = ValueOf(static_cast<std::uint32_t>(random()));
            SCOPED_TRACE(::testing::Message() << "step " << step << " key " << key);

            if (roll < (growing ? 45u : 25u)) {
                table.Set(key, value);
                expected[key] = value;
                if (run.keys == Keys::kWindow && key == nextId) {
                    ++nextId;
                }
            } else if (roll < 70) {
                if (run.keys == Keys::kWindow) {
                    key = oldestId;  // the oldest request is answered
                }
                table.Remove(key);
                expected.erase(key);
                while (oldestId != nextId && expected.count(oldestId) == 0) {
                    ++oldestId;
                }
            } else if (roll < 85) {
                typename HashTable<unsigned int, Value, H>::KeyItem* item = nullptr;
                const bool found = table.Find(key, item);
                const auto it = expected.find(key);
                ASSERT_EQ(found, it != expected.end());
                if (found) {
                    ASSERT_NE(item, nullptr);
                    ASSERT_TRUE(item->inUse);
                    ASSERT_EQ(item->key, key);
                    ASSERT_EQ(item->value, it->second);
                } else {
                    ASSERT_EQ(item, nullptr);
                }
            } else {
                Value got = ValueOf(0xFFFFFFF);
                const bool found = table.Get(key, got);
                const auto it = expected.find(key);
                ASSERT_EQ(found, it != expected.end());
                ASSERT_EQ(got, found ? it->second : ValueOf(0xFFFFFFF));
            }

            ASSERT_EQ(table.GetCount(), expected.size());
            ASSERT_TRUE(EachKeyInACandidateSlot<H>(table, expected));
            if (step % 1000 == 0) {
                ASSERT_TRUE(HoldsInvariants(table));
            }
        }
        ASSERT_TRUE(HoldsInvariants(table));
        // Nothing was lost: every key of the map is found.
        for (const auto& [key, value] : expected) {
            Value got = nullptr;
            ASSERT_TRUE(table.Get(key, got)) << key;
            ASSERT_EQ(got, value);
        }
    }
};

TEST_P(Differential, AgreesWithUnorderedMap) {
    if (GetParam().keys == Keys::kTwins) {
        Replay<TwinHashHelper>(GetParam());
    } else {
        Replay<StandardHashHelper<unsigned int>>(GetParam());
    }
}

std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    static const char* const kNames[] = {"RandomPool", "SmallRange", "Window", "Twins"};
    return std::string(kNames[static_cast<int>(info.param.keys)]) + "_" +
           std::to_string(info.param.seed);
}

INSTANTIATE_TEST_SUITE_P(HashTable, Differential,
                         ::testing::Values(Scenario{Keys::kRandomPool, 1},
                                           Scenario{Keys::kRandomPool, 2},
                                           Scenario{Keys::kSmallRange, 3},
                                           Scenario{Keys::kSmallRange, 4},
                                           Scenario{Keys::kWindow, 5}, Scenario{Keys::kWindow, 6},
                                           Scenario{Keys::kTwins, 7}, Scenario{Keys::kTwins, 8}),
                         ScenarioName);

}  // namespace
}  // namespace qz::common::testing
