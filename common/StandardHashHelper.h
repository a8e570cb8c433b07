#pragma once

#include <cstring>

#include "common/HashBytes.h"

namespace qz::common {

/// Hashes and compares keys as their bytes in memory: Hash1 is HashBytes1 and Hash2 is
/// HashBytes2 over the key's sizeof(K) bytes with the given seed.
template <typename K>
struct StandardHashHelper {
    /// Both hashes under one seed, with the part that depends on the seed alone worked out
    /// once. A table keeps one of these per seed, so a lookup hashes only the key's bytes.
    class Seeded {
    public:
        explicit Seeded(unsigned int seed)
            : djb2(hash_bytes::Djb2AfterSeed(seed) * hash_bytes::kDjb2Factor),
              sdbm(SdbmStart(seed)) {}

        unsigned int Hash1(const K& key) const {
            // djb2's XOR does not commute with its multiply, so the key's bytes stay a chain;
            // only the first multiply is done ahead.
            unsigned char bytes[sizeof(K)];
            std::memcpy(bytes, &key, sizeof(K));
            return hash_bytes::Djb2Continue(djb2 ^ bytes[0], bytes + 1, sizeof(K) - 1);
        }

        unsigned int Hash2(const K& key) const {
            unsigned char bytes[sizeof(K)];
            std::memcpy(bytes, &key, sizeof(K));
            if constexpr (sizeof(K) == 4) {
                // sdbm is linear: four steps from state s give s*P^4 + b0*P^3 + b1*P^2 +
                // b2*P + b3, so the terms need no chain (`sdbm` already holds s*P^4).
                constexpr unsigned int p = hash_bytes::kSdbmFactor;
                return sdbm + (bytes[0] * p + bytes[1]) * (p * p) + (bytes[2] * p + bytes[3]);
            } else {
                return hash_bytes::SdbmContinue(sdbm, bytes, sizeof(K));
            }
        }

    private:
        static unsigned int SdbmStart(unsigned int seed) {
            const unsigned int state = hash_bytes::SdbmAfterSeed(seed);
            constexpr unsigned int p = hash_bytes::kSdbmFactor;
            return sizeof(K) == 4 ? state * (p * p * p * p) : state;
        }

        unsigned int djb2;  // djb2 state after the seed bytes, times 33
        unsigned int sdbm;  // sdbm state after the seed bytes (times P^4 for 4-byte keys)
    };

    static unsigned int Hash1(const K& key, unsigned int seed) { return Seeded(seed).Hash1(key); }
    static unsigned int Hash2(const K& key, unsigned int seed) { return Seeded(seed).Hash2(key); }
    static bool IsEqual(const K& a, const K& b) { return std::memcmp(&a, &b, sizeof(K)) == 0; }
};

}  // namespace qz::common
