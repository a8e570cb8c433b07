#pragma once

#include <climits>
#include <utility>

#include "common/FatalError.h"
#include "common/HybridArray.h"
#include "common/StandardHashHelper.h"

namespace qz::common {

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
template <typename K, typename V, typename H = StandardHashHelper<K>>
class HashTable {
public:
    /// One slot. A free slot's key and value are never read.
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

    HashTable() { items.Resize(1); }
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    /// Points `item` at the slot holding `key` (valid until the next Set) or sets it to null.
    bool Find(const K& key, KeyItem*& item) {
        item = nullptr;
        KeyItem* const slots = items.GetData();
        KeyItem& first = slots[FirstSlot(key)];
        if (first.inUse && H::IsEqual(first.key, key)) {
            item = &first;
            return true;
        }
        KeyItem& second = slots[SecondSlot(key)];
        if (second.inUse && H::IsEqual(second.key, key)) {
            item = &second;
            return true;
        }
        return false;
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
        KeyItem* item;
        if (Find(key, item)) {
            item->value = value;
            return;
        }
        KeyItem carried(key, value);
        for (;;) {
            const unsigned int limit = count + 1;
            KeyItem* const slots = items.GetData();
            // The first probe goes to the first candidate even when the second one is free.
            unsigned int pos = FirstSlot(carried.key);
            for (unsigned int probe = 0; probe < limit; ++probe) {
                KeyItem& slot = slots[pos];
                if (!slot.inUse) {
                    slot = carried;
                    ++count;
                    return;
                }
                std::swap(carried, slot);
                const unsigned int first = FirstSlot(carried.key);
                pos = pos == first ? SecondSlot(carried.key) : first;
            }
            Rehash();
        }
    }

    /// Frees the slot holding `key`, if any.
    void Remove(const K& key) {
        KeyItem* item;
        if (Find(key, item)) {
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
    unsigned int FirstSlot(const K& key) const {
        return H::Hash1(key, seed) & (items.GetSize() - 1);
    }
    unsigned int SecondSlot(const K& key) const {
        return H::Hash2(key, seed) & (items.GetSize() - 1);
    }

    // Doubles the slots under the next seed. Items already in one of their new candidate slots
    // stay; the others are taken out and set again, which may displace items not yet visited
    // and may rehash again from inside.
    void Rehash() {
        ++seed;
        const unsigned int old = items.GetSize();
        if (old > UINT_MAX / 2) {
            FatalError();
        }
        items.Resize(old * 2);
        for (unsigned int i = 0; i < old; ++i) {
            KeyItem& slot = items.GetData()[i];
            if (!slot.inUse || i == FirstSlot(slot.key) || i == SecondSlot(slot.key)) {
                continue;
            }
            const K key = slot.key;
            const V value = slot.value;
            slot = KeyItem();
            --count;
            Set(key, value);
        }
    }

    HybridArray<KeyItem, 0, StandardDataHelper<KeyItem>> items;
    unsigned int count = 0;
    unsigned int seed = 0;
};

}  // namespace qz::common
