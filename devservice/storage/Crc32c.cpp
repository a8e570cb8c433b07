// A table-driven CRC-32C of our own: no library serves both the native and the Windows builds.

#include "storage/Crc32c.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <nmmintrin.h>
#define QZ_HARDWARE_CRC32C 1
#endif

namespace qz::devservice {

namespace {

constexpr unsigned int kPolynomial = 0x82F63B78;  // reflected Castagnoli polynomial

// Eight tables, so that eight bytes are taken per step ("slicing by 8"): table k gives the
// CRC of a byte followed by k zero bytes.
using Tables = std::array<std::array<unsigned int, 256>, 8>;

constexpr Tables MakeTables() {
    Tables tables{};
    for (unsigned int i = 0; i < 256; ++i) {
        unsigned int crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ kPolynomial : crc >> 1;
        }
        tables[0][i] = crc;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (unsigned int i = 0; i < 256; ++i) {
            const unsigned int previous = tables[k - 1][i];
            tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr Tables kTables = MakeTables();

// a * b modulo the polynomial, both as reflected polynomials.
constexpr unsigned int MultiplyModP(unsigned int a, unsigned int b) {
    unsigned int product = 0;
    for (unsigned int bit = 1u << 31; bit != 0; bit >>= 1) {
        if ((a & bit) != 0) {
            product ^= b;
        }
        b = (b & 1) != 0 ? (b >> 1) ^ kPolynomial : b >> 1;
    }
    return product;
}

// x^(8 * 2^k) modulo the polynomial for every k: a shift by 2^k bytes.
constexpr std::array<unsigned int, 64> MakePowerShifts() {
    std::array<unsigned int, 64> shifts{};
    shifts[0] = 1u << 23;  // x^8: one byte
    for (std::size_t k = 1; k < shifts.size(); ++k) {
        shifts[k] = MultiplyModP(shifts[k - 1], shifts[k - 1]);
    }
    return shifts;
}

constexpr std::array<unsigned int, 64> kPowerShifts = MakePowerShifts();

// x^(8 * bytes) modulo the polynomial: one product per bit set in the length, so a commit's
// checksum costs a few multiplications however long its contents.
constexpr unsigned int ShiftOperator(unsigned long long bytes) {
    unsigned int result = 1u << 31;  // x^0
    for (std::size_t k = 0; bytes != 0; bytes >>= 1, ++k) {
        if ((bytes & 1) != 0) {
            result = MultiplyModP(kPowerShifts[k], result);
        }
    }
    return result;
}

#ifdef QZ_HARDWARE_CRC32C
// SSE 4.2's crc32 instruction computes exactly this CRC, several times faster than the table.
// Its state (without the inversions) is linear: the state after A then B is A's state shifted
// by B's length, plus B's state from zero. Three stripes are computed side by side, since the
// instruction takes three cycles but can start one each cycle, then joined by shifts by fixed
// lengths.
#ifdef __x86_64__
constexpr std::size_t kStripe = 4096;
constexpr unsigned int kShiftOneStripe = ShiftOperator(kStripe);
constexpr unsigned int kShiftTwoStripes = ShiftOperator(2 * kStripe);

std::uint64_t Word(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}
#endif

__attribute__((target("sse4.2"))) unsigned int HardwareCrc32c(const unsigned char* bytes,
                                                              std::size_t size, unsigned int crc) {
    crc = ~crc;
#ifdef __x86_64__
    for (; size >= 3 * kStripe; size -= 3 * kStripe, bytes += 3 * kStripe) {
        std::uint64_t first = crc;
        std::uint64_t second = 0;
        std::uint64_t third = 0;
        for (std::size_t at = 0; at < kStripe; at += 8) {
            first = _mm_crc32_u64(first, Word(bytes + at));
            second = _mm_crc32_u64(second, Word(bytes + kStripe + at));
            third = _mm_crc32_u64(third, Word(bytes + 2 * kStripe + at));
        }
        crc = MultiplyModP(kShiftTwoStripes, static_cast<unsigned int>(first)) ^
              MultiplyModP(kShiftOneStripe, static_cast<unsigned int>(second)) ^
              static_cast<unsigned int>(third);
    }
    for (; size >= 8; size -= 8, bytes += 8) {
        crc = static_cast<unsigned int>(_mm_crc32_u64(crc, Word(bytes)));
    }
#endif
    for (; size >= 4; size -= 4, bytes += 4) {
        std::uint32_t word;
        std::memcpy(&word, bytes, sizeof word);
        crc = _mm_crc32_u32(crc, word);
    }
    for (; size > 0; --size, ++bytes) {
        crc = _mm_crc32_u8(crc, *bytes);
    }
    return ~crc;
}

bool HasHardwareCrc32c() {
    static const bool has = __builtin_cpu_supports("sse4.2") != 0;
    return has;
}
#endif

}  // namespace

unsigned int Crc32c(const void* data, std::size_t size, unsigned int crc) {
#ifdef QZ_HARDWARE_CRC32C
    if (HasHardwareCrc32c()) {
        return HardwareCrc32c(static_cast<const unsigned char*>(data), size, crc);
    }
#endif
    return Crc32cPortable(data, size, crc);
}

unsigned int Crc32cPortable(const void* data, std::size_t size, unsigned int crc) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (; size >= 8; size -= 8, bytes += 8) {
        const unsigned int low =
            crc ^
            (static_cast<unsigned int>(bytes[0]) | static_cast<unsigned int>(bytes[1]) << 8 |
             static_cast<unsigned int>(bytes[2]) << 16 | static_cast<unsigned int>(bytes[3]) << 24);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][bytes[4]] ^
              kTables[2][bytes[5]] ^ kTables[1][bytes[6]] ^ kTables[0][bytes[7]];
    }
    for (; size > 0; --size, ++bytes) {
        crc = kTables[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

unsigned int Crc32cCombine(unsigned int crcA, unsigned int crcB, unsigned long long lengthB) {
    return MultiplyModP(ShiftOperator(lengthB), crcA) ^ crcB;
}

}  // namespace qz::devservice
