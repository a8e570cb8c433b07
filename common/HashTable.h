#pragma once

#include <climits>
#include <type_traits>
#include <utility>

#include "common/FatalError.h"
#include "common/HybridArray.h"
#include "common/StandardHashHelper.h"

namespace qz::common {

namespace hash_table {

// Hashing under one seed. The standard helper offers `Seeded`, which works out the part that
// depends on the seed alone once, and the table keeps one per seed. Any other helper, even one
// derived from the standard one, is called exactly as given.
template <typename K, typename H>
class PlainSeeded {
public:
    explicit PlainSeeded(unsigned int seed) : seed(seed) {}
    unsigned int Hash1(const K& key) const { return H::Hash1(key, seed); }
    unsigned int Hash2(const K& key) const { return H::Hash2(key, seed); }

private:
    unsigned int seed;
};

template <typename K, typename H>
constexpr bool kIsStandardHelper = std::is_same_v<H, StandardHashHelper<K>>;

template <typename K, typename H, bool = kIsStandardHelper<K, H>>
struct SeededOf {
    using Type = PlainSeeded<K, H>;
};

template <typename K, typename H>
struct SeededOf<K, H, true> {
    using Type = typename H::Seeded;
};

}  // namespace hash_table

/// Two-choice (cuckoo) hash table.
///
/// Layout: n slots, n a power of two. Every stored key k lies in one of its two candidate
/// slots, H::Hash1(k, seed) mod n or H::Hash2(k, seed) mod n, so a lookup reads two slots.
///
///   Find(k):   slot Hash1 mod n, then slot Hash2 mod n.
///   Set(k, v): overwrite in place if present. Otherwise carry (k, v) to its first candidate;
///              a taken slot swaps its occupant out, and the occupant moves to its other
///              candidate, and so on. A chain that probes count + 1 slots without finding a
///              free one doubles the slot array, adds 1 to the seed, redistributes the items in
///              place (Rehash) and starts again with whatever item is then carried.
///   Remove(k): frees the slot; nothing moves, nothing shrinks.
///
/// Load is not watched: the slot count follows the keys (how the chains fall), not a load
/// factor. A table can be entirely full, or sparse, and it never shrinks. Slot positions and
/// seeds are part of the observable behaviour and must not change.
///
/// Memory. Slots per stored item after inserting n keys into a new table (a slot of
/// HashTable<unsigned int, void*> takes 16 bytes):
///
///   n                     1K   4K   16K   64K   256K   1M
///   random keys            2    2     4     2      2    4
///   sequential, 1 to n     4    2     2     4     32   32
///
/// Random keys stay at 2 to 4 slots per item. Sequential keys, the request-id pattern, do
/// too up to some 75K keys; then displacement chains keep failing in a sparse table, and
/// between keys 74,211 and 76,737 it doubles four times, from 262,144 to 8,388,608 slots
/// (128 MiB, 109 slots per item); 1M sequential keys end in 33,554,432 slots (512 MiB). A
/// request table holds the requests pending at one time, normally a handful, and stays small;
/// a table meant for tens of thousands of live sequential keys would need another hash.
template <typename K, typename V, typename H = StandardHashHelper<K>>
class HashTable {
public:
    /// One slot. A free slot's key and value never decide anything; its key is always
    /// initialised, so lookups may compare it before looking at `inUse`.
    struct KeyItem {
        bool inUse;
        K key;
        V value;

        KeyItem() : inUse(false), key(), value() {}
        KeyItem(const K& k, const V& v) : inUse(true), key(k), value(v) {}
        KeyItem(const KeyItem& other) : inUse(other.inUse), key(), value(other.value) {
            if (other.inUse) {
                key = other.key;
            }
        }
        KeyItem& operator=(const KeyItem& other) {
            value = other.value;
            inUse = other.inUse;
            if (other.inUse) {
                key = other.key;
            }
            return *this;
        }
    };

    HashTable() : hashes(0) { items.Resize(1); }
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    /// Points `item` at the slot holding `key` (valid until the next Set) or sets it to null.
    bool Find(const K& key, KeyItem*& item) {
        if constexpr (kStandardHelper) {
            item = Locate(key);
        } else {
            unsigned int first;
            unsigned int second;
            Candidates(key, first, second);
            item = Probe(key, first, second);
        }
        return item != nullptr;
    }

    /// Copies the value stored under `key` into `value`; leaves `value` alone when absent.
    bool Get(const K& key, V& value) {
        KeyItem* item;
        if (!Find(key, item)) {
            return false;
        }
        value = item->value;
        return true;
    }

    /// Stores `value` under `key`, replacing the value of a present key in its slot.
    void Set(const K& key, const V& value) {
        unsigned int pos;
        unsigned int second;
        Candidates(key, pos, second);
        if (KeyItem* const item = Probe(key, pos, second)) {
            item->value = value;
            return;
        }
        KeyItem carried(key, value);
        for (;;) {
            const unsigned int limit = count + 1;
            const unsigned int mask = items.GetSize() - 1;
            KeyItem* const slots = items.GetData();
            // The first probe goes to the first candidate even when the second one is free.
            for (unsigned int probe = 0; probe < limit; ++probe) {
                KeyItem& slot = slots[pos];
                if (!slot.inUse) {
                    slot = carried;
                    ++count;
                    return;
                }
                // Both in use: trade keys and values; the carried item now sits in `pos`.
                std::swap(carried.key, slot.key);
                std::swap(carried.value, slot.value);
                const unsigned int first = hashes.Hash1(carried.key) & mask;
                pos = pos != first ? first : hashes.Hash2(carried.key) & mask;
            }
            Rehash();
            pos = hashes.Hash1(carried.key) & (items.GetSize() - 1);
        }
    }

    /// Frees the slot holding `key`, if any.
    void Remove(const K& key) {
        KeyItem* item = nullptr;
        if constexpr (kStandardHelper) {
            // Answers are looked up and then removed: try the slot of the last lookup first.
            // A slot that holds the key is the key's only slot, however long ago it was found.
            KeyItem& found = items.GetData()[lastFound];
            item = Holds(found, key) ? &found : nullptr;
        }
        if (item == nullptr) {
            unsigned int first;
            unsigned int second;
            Candidates(key, first, second);
            item = Probe(key, first, second);
        }
        if (item != nullptr) {
            *item = KeyItem();
            --count;
        }
    }

    /// Number of stored items.
    unsigned int GetCount() const { return count; }
    /// Number of slots, a power of two.
    unsigned int GetSlotCount() const { return items.GetSize(); }
    unsigned int GetSeed() const { return seed; }
    /// Slot `index`, for inspection; fatal when out of range.
    const KeyItem& GetSlot(unsigned int index) const { return items.At(index); }

private:
    // The standard helper's comparison has no effect but its result, so the fast paths may
    // compare keys of free slots and try a remembered slot first; any other helper sees
    // exactly the calls of the plain algorithm.
    static constexpr bool kStandardHelper = hash_table::kIsStandardHelper<K, H>;
    using Seeded = typename hash_table::SeededOf<K, H>::Type;

    // Whether `slot` holds `key`.
    static bool Holds(const KeyItem& slot, const K& key) {
        if constexpr (kStandardHelper) {
            // A free slot's key is always initialised; comparing it first makes the branch
            // follow the key, which predicts well.
            return H::IsEqual(slot.key, key) && slot.inUse;
        } else {
            return slot.inUse && H::IsEqual(slot.key, key);
        }
    }

    // The key's two candidate slots under the current seed.
    void Candidates(const K& key, unsigned int& first, unsigned int& second) const {
        const unsigned int mask = items.GetSize() - 1;  // the slot count is a power of two
        first = hashes.Hash1(key) & mask;
        second = hashes.Hash2(key) & mask;
    }

    // The slot holding `key`, or null, checking slot `first` and then `second` with early
    // outs. For a new key (Set) or a key that keeps to one of its candidates, the branches
    // predict well.
    KeyItem* Probe(const K& key, unsigned int first, unsigned int second) {
        KeyItem* const slots = items.GetData();
        if (Holds(slots[first], key)) {
            return slots + first;
        }
        if (Holds(slots[second], key)) {
            return slots + second;
        }
        return nullptr;
    }

    // The slot holding `key`, or null. Both slots are read and the answer is picked without a
    // branch: which of its two slots holds a key follows no pattern a branch predictor could
    // learn (random keys sit about 70/30), and a mispredicted branch costs more than reading
    // both. Slot `first` wins if both matched, as if it had been checked first (they cannot
    // both match: no key is stored twice). A free slot's key is always initialised, and its
    // `inUse` alone decides.
    KeyItem* Locate(const K& key) {
        unsigned int first;
        unsigned int second;
        Candidates(key, first, second);
        KeyItem* const slots = items.GetData();
        unsigned int inFirst = slots[first].inUse & H::IsEqual(slots[first].key, key);
        unsigned int inSecond = slots[second].inUse & H::IsEqual(slots[second].key, key);
#if defined(__GNUC__)
        // Left alone, the compiler turns the selection below back into branches.
        __asm__("" : "+r"(inFirst), "+r"(inSecond));
#endif
        const unsigned int pick = second ^ ((first ^ second) & (0u - inFirst));
        lastFound = pick;
        return (inFirst | inSecond) != 0 ? slots + pick : nullptr;
    }

    // Doubles the slots under the next seed. Items already in one of their new candidate slots
    // stay; the others are taken out and set again, which may displace items not yet visited
    // and may rehash again from inside.
    void Rehash() {
        ++seed;
        hashes = Seeded(seed);
        const unsigned int old = items.GetSize();
        if (old > UINT_MAX / 2) {
            FatalError();
        }
        items.Resize(old * 2);
        for (unsigned int i = 0; i < old; ++i) {
            KeyItem& slot = items.GetData()[i];
            const unsigned int mask = items.GetSize() - 1;
            if (!slot.inUse || i == (hashes.Hash1(slot.key) & mask) ||
                i == (hashes.Hash2(slot.key) & mask)) {
                continue;
            }
            const K key = slot.key;
            const V value = slot.value;
            slot = KeyItem();
            --count;
            Set(key, value);
        }
    }

public:
    // The fields are open for inspection (tests, debuggers, tools); change them only through
    // the operations above.
    HybridArray<KeyItem, 0, StandardDataHelper<KeyItem>> items;
    unsigned int count = 0;
    unsigned int seed = 0;

private:
    Seeded hashes;  // the hashes under `seed`, kept so lookups skip the per-seed part
    // A slot index from the last lookup, a hint for Remove. Always below the slot count,
    // which never shrinks; whether the slot still holds a key is checked on use.
    unsigned int lastFound = 0;
};

}  // namespace qz::common
