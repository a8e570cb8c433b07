#pragma once

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/UtfKernel.h"

// Block drivers shared by the UTF-8 and UTF-16 encoders, for the converters' own use.
//
// Each converter describes a kernel as a type `B` with static members:
//   Unit                          the code unit;
//   kBlock                        code points in an encoding block;
//   kNarrowEnd                    code points below it take one unit (a power of two);
//   EncodeOne(c, out)             writes `c` with the slack the encoder allows and returns how
//                                 many units count;
//   EncodeNarrowBlock(in, out)    whether a block is all below `kNarrowEnd`, and if so writes
//                                 it, one unit each;
//   EncodeMixedBlock(in, out)     writes any other block and returns the position after it;
//   Count(c)                      units `EncodeOne` keeps for `c`;
//   CountVector(flipped)          (SSE2 kernels) the same for four code points whose sign bits
//                                 are flipped (see `FlipSign`).
// The portable kernel takes its block routines from `PortableEncodeBlocks`; the SSE2 kernel
// derives from the portable one and replaces them. Where SSE2 is missing, the converter's SSE2
// kernel type names its portable one.
namespace qz::common::utf::blocks {

/// Calls `f` with a value of the kernel type that `kernel` selects.
template <typename Portable, typename Sse2, typename F>
decltype(auto) WithKernel(Kernel kernel, F&& f) {
    return kernel == Kernel::kSse2 ? f(Sse2{}) : f(Portable{});
}

/// Base of a portable kernel type `Derived`: its encoding block routines, one code point at a
/// time.
template <typename Derived, typename UnitType>
struct PortableEncodeBlocks {
    using Unit = UnitType;

    static bool EncodeNarrowBlock(const unsigned int* in, Unit* out) {
        unsigned int any = 0;
        for (std::size_t i = 0; i < Derived::kBlock; ++i) {
            any |= in[i];
        }
        if (any >= Derived::kNarrowEnd) {
            return false;
        }
        for (std::size_t i = 0; i < Derived::kBlock; ++i) {
            out[i] = static_cast<Unit>(in[i]);
        }
        return true;
    }

    static Unit* EncodeMixedBlock(const unsigned int* in, Unit* o) {
        for (std::size_t j = 0; j < Derived::kBlock; ++j) {
            o += Derived::EncodeOne(in[j], o);
        }
        return o;
    }
};

/// Writes the leading code points below `kNarrowEnd` as one unit each and returns how many
/// there were.
template <typename B>
std::size_t EncodeNarrowPrefix(const unsigned int* in, std::size_t count, typename B::Unit* out) {
    std::size_t done = 0;
    while (count - done >= B::kBlock && B::EncodeNarrowBlock(in + done, out + done)) {
        done += B::kBlock;
    }
    while (done < count && in[done] < B::kNarrowEnd) {
        out[done] = static_cast<typename B::Unit>(in[done]);
        ++done;
    }
    return done;
}

/// Encodes all code points and returns the number of units that count.
template <typename B>
std::size_t Encode(const unsigned int* in, std::size_t count, typename B::Unit* const out) {
    constexpr std::size_t kBlock = B::kBlock;
    typename B::Unit* o = out;
    std::size_t i = 0;
    for (; count - i >= kBlock; i += kBlock) {
        if (B::EncodeNarrowBlock(in + i, o)) {
            o += kBlock;
            continue;
        }
        o = B::EncodeMixedBlock(in + i, o);
    }
    for (; i < count; ++i) {
        o += B::EncodeOne(in[i], o);
    }
    return static_cast<std::size_t>(o - out);
}

#if defined(__SSE2__)
// SSE2 compares only signed lanes: flipping the sign bit of both sides compares them unsigned.

/// `values` with the sign bit of each lane flipped.
inline __m128i FlipSign(__m128i values) {
    return _mm_xor_si128(values, _mm_set1_epi32(static_cast<int>(0x80000000u)));
}

/// `value` in every lane, sign bit flipped: `_mm_cmpgt_epi32(FlipSign(c), Flipped(x))` is
/// `c > x` for unsigned lanes.
inline __m128i Flipped(unsigned int value) {
    return _mm_set1_epi32(static_cast<int>(value ^ 0x80000000u));
}

/// `EncodeMixedBlock` four code points at a time. `form(c, flipped)` returns, for the code
/// points `c` (`flipped` = `FlipSign(c)`), each one's units packed in a little-endian word,
/// first unit lowest; `B::CountVector` tells how many of them count.
template <typename B, typename Form>
typename B::Unit* EncodeMixedBlockSse2(const unsigned int* in, typename B::Unit* o, Form form) {
    alignas(16) unsigned int words[B::kBlock];
    alignas(16) unsigned int lengths[B::kBlock];
    for (std::size_t v = 0; v < B::kBlock; v += 4) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + v));
        const __m128i flipped = FlipSign(c);
        _mm_store_si128(reinterpret_cast<__m128i*>(words + v), form(c, flipped));
        _mm_store_si128(reinterpret_cast<__m128i*>(lengths + v), B::CountVector(flipped));
    }
    // SSE2 means x86: the words are stored little-endian, first unit first.
    for (std::size_t j = 0; j < B::kBlock; ++j) {
        std::memcpy(o, &words[j], 4);
        o += lengths[j];
    }
    return o;
}
#endif

/// Exact number of units `Encode` keeps for these code points; it uses SSE2 wherever that is
/// there, whatever kernel `B` is.
template <typename B>
std::size_t Count(const unsigned int* codePoints, std::size_t count) {
    std::size_t total = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Lanes are summed every 2^28 code points, long before they could overflow.
    constexpr std::size_t kMaxChunk = static_cast<std::size_t>(1) << 28;
    while (count - i >= 4) {
        std::size_t chunk = (count - i) & ~static_cast<std::size_t>(3);
        if (chunk > kMaxChunk) {
            chunk = kMaxChunk;
        }
        const std::size_t chunkEnd = i + chunk;
        __m128i sums = _mm_setzero_si128();
        for (; i < chunkEnd; i += 4) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(codePoints + i));
            sums = _mm_add_epi32(sums, B::CountVector(FlipSign(c)));
        }
        alignas(16) unsigned int lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        total += static_cast<std::size_t>(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
    }
#endif
    for (; i < count; ++i) {
        total += B::Count(codePoints[i]);
    }
    return total;
}

}  // namespace qz::common::utf::blocks
