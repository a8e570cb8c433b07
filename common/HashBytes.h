#pragma once

namespace qz::common {

/// djb2 in its XOR form over the four bytes of `seed` (least significant first, each
/// sign-extended) and then the `length` bytes at `data` (each taken unsigned):
/// h = 5381, then h = (h * 33) ^ byte.
unsigned int HashBytes1(const void* data, unsigned int seed, unsigned int length);

/// sdbm over the same byte sequence as HashBytes1: h = 0, then h = h * 65599 + byte.
unsigned int HashBytes2(const void* data, unsigned int seed, unsigned int length);

namespace hash_bytes {

// The steps of the two hashes, shared by HashBytes1/HashBytes2 and by the key helpers that
// work out the per-seed part once and hash only the key's bytes after it.

constexpr unsigned int kDjb2Start = 5381;
constexpr unsigned int kDjb2Factor = 33;
constexpr unsigned int kSdbmFactor = 65599;

/// Byte `index` of the seed, widened with its sign: 0x80 becomes 0xFFFFFF80. (Data bytes are
/// widened without sign.) Stored tables depend on both.
constexpr unsigned int SeedByte(unsigned int seed, unsigned int index) {
    const unsigned int byte = (seed >> (8 * index)) & 0xFF;
    return byte < 0x80 ? byte : byte | 0xFFFFFF00u;
}

/// The djb2 state after the four seed bytes.
constexpr unsigned int Djb2AfterSeed(unsigned int seed) {
    unsigned int h = kDjb2Start;
    for (unsigned int i = 0; i < 4; ++i) {
        h = (h * kDjb2Factor) ^ SeedByte(seed, i);
    }
    return h;
}

/// The sdbm state after the four seed bytes.
constexpr unsigned int SdbmAfterSeed(unsigned int seed) {
    unsigned int h = 0;
    for (unsigned int i = 0; i < 4; ++i) {
        h = h * kSdbmFactor + SeedByte(seed, i);
    }
    return h;
}

/// Runs djb2 on from state `h` over `length` data bytes.
inline unsigned int Djb2Continue(unsigned int h, const unsigned char* bytes, unsigned int length) {
    for (unsigned int i = 0; i < length; ++i) {
        h = (h * kDjb2Factor) ^ bytes[i];
    }
    return h;
}

/// Runs sdbm on from state `h` over `length` data bytes.
inline unsigned int SdbmContinue(unsigned int h, const unsigned char* bytes, unsigned int length) {
    for (unsigned int i = 0; i < length; ++i) {
        h = h * kSdbmFactor + bytes[i];
    }
    return h;
}

}  // namespace hash_bytes
}  // namespace qz::common
