#pragma once

#include <cstddef>

namespace qz::devservice {

/// CRC-32C (Castagnoli, reflected, initial and final value 0xFFFFFFFF) of `size` bytes,
/// continuing `crc`, the value of the bytes before them (0 for none). Uses the processor's
/// CRC-32C instruction where it has one (x86 with SSE 4.2), the table otherwise.
unsigned int Crc32c(const void* data, std::size_t size, unsigned int crc = 0);

/// The same from the table alone, as every processor computes it.
unsigned int Crc32cPortable(const void* data, std::size_t size, unsigned int crc = 0);

/// The CRC-32C of A followed by B from the CRC of A, the CRC of B and B's length: lets a
/// writer checksum contents as they arrive and put the header and name in front at the end.
unsigned int Crc32cCombine(unsigned int crcA, unsigned int crcB, unsigned long long lengthB);

}  // namespace qz::devservice
