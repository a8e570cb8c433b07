// A table-driven CRC-32C of our own: no library serves both the native and the Windows builds.

#include "storage/Crc32c.h"

#include <array>

namespace qz::devservice {

namespace {

constexpr unsigned int kPolynomial = 0x82F63B78;  // reflected Castagnoli polynomial

constexpr std::array<unsigned int, 256> MakeTable() {
    std::array<unsigned int, 256> table{};
    for (unsigned int i = 0; i < 256; ++i) {
        unsigned int crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ kPolynomial : crc >> 1;
        }
        table[i] = crc;
    }
    return table;
}

constexpr std::array<unsigned int, 256> kTable = MakeTable();

// a * b modulo the polynomial, both as reflected polynomials.
unsigned int MultiplyModP(unsigned int a, unsigned int b) {
    unsigned int product = 0;
    for (unsigned int bit = 1u << 31; bit != 0; bit >>= 1) {
        if ((a & bit) != 0) {
            product ^= b;
        }
        b = (b & 1) != 0 ? (b >> 1) ^ kPolynomial : b >> 1;
    }
    return product;
}

// x^(8 * bytes) modulo the polynomial, by repeated squaring.
unsigned int ShiftOperator(unsigned long long bytes) {
    unsigned int result = 1u << 31;  // x^0
    unsigned int square = 1u << 23;  // x^8: one byte
    for (; bytes != 0; bytes >>= 1) {
        if ((bytes & 1) != 0) {
            result = MultiplyModP(square, result);
        }
        square = MultiplyModP(square, square);
    }
    return result;
}

}  // namespace

unsigned int Crc32c(const void* data, std::size_t size, unsigned int crc) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc = kTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

unsigned int Crc32cCombine(unsigned int crcA, unsigned int crcB, unsigned long long lengthB) {
    return MultiplyModP(ShiftOperator(lengthB), crcA) ^ crcB;
}

}  // namespace qz::devservice
