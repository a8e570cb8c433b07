#pragma once

#include <cstring>

#include "common/HashBytes.h"

namespace qz::common {

/// Hashes and compares keys as their bytes in memory.
template <typename K>
struct StandardHashHelper {
    static unsigned int Hash1(const K& key, unsigned int seed) {
        return HashBytes1(&key, seed, sizeof(K));
    }
    static unsigned int Hash2(const K& key, unsigned int seed) {
        return HashBytes2(&key, seed, sizeof(K));
    }
    static bool IsEqual(const K& a, const K& b) { return std::memcmp(&a, &b, sizeof(K)) == 0; }
};

}  // namespace qz::common
