#include "common/HashBytes.h"

namespace qz::common {
namespace {

// Seed bytes widen with their sign, data bytes without: 0x80 is 0xFFFFFF80 in the seed and
// 0x00000080 in the data. Stored tables depend on both.
unsigned int SeedByte(unsigned int seed, unsigned int index) {
    return static_cast<unsigned int>(
        static_cast<int>(static_cast<signed char>(seed >> (8 * index))));
}

}  // namespace

unsigned int HashBytes1(const void* data, unsigned int seed, unsigned int length) {
    unsigned int h = 5381;
    for (unsigned int i = 0; i < 4; ++i) {
        h = (h * 33) ^ SeedByte(seed, i);
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (unsigned int i = 0; i < length; ++i) {
        h = (h * 33) ^ bytes[i];
    }
    return h;
}

unsigned int HashBytes2(const void* data, unsigned int seed, unsigned int length) {
    unsigned int h = 0;
    for (unsigned int i = 0; i < 4; ++i) {
        h = h * 65599 + SeedByte(seed, i);
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (unsigned int i = 0; i < length; ++i) {
        h = h * 65599 + bytes[i];
    }
    return h;
}

}  // namespace qz::common
