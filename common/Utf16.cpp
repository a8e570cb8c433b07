#include "common/Utf16.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz::common::utf {
namespace {

using Unit = unsigned short;

bool IsSurrogate(unsigned int unit) {
    return (unit & 0xF800) == 0xD800;
}

// Converts whole blocks of units that are not surrogates and returns how many units it
// converted; it stops at the first block holding a surrogate, converting that block's prefix.
// `out` has room for `remaining` code points: the output never runs ahead of the input.
template <Kernel K>
std::size_t DecodeBmpRun(const Unit* p, std::size_t remaining, unsigned int* out);

template <>
std::size_t DecodeBmpRun<Kernel::kPortable>(const Unit* p, std::size_t remaining,
                                            unsigned int* out) {
    constexpr std::uint64_t kTopFive = 0xF800F800F800F800ull;
    constexpr std::uint64_t kSurrogate = 0xD800D800D800D800ull;
    constexpr std::uint64_t kLowBits = 0x0001000100010001ull;
    constexpr std::uint64_t kHighBits = 0x8000800080008000ull;
    std::size_t done = 0;
    while (remaining - done >= 4) {
        std::uint64_t word;
        std::memcpy(&word, p + done, sizeof word);
        // A lane becomes 0 exactly for a surrogate; the classic zero-lane test is exact about
        // whether any lane is 0.
        const std::uint64_t x = (word & kTopFive) ^ kSurrogate;
        if (((x - kLowBits) & ~x & kHighBits) != 0) {
            while (!IsSurrogate(p[done])) {
                out[done] = p[done];
                ++done;
            }
            return done;
        }
        for (int i = 0; i < 4; ++i) {
            out[done + i] = p[done + i];
        }
        done += 4;
    }
    return done;
}

#if defined(__SSE2__)
template <>
std::size_t DecodeBmpRun<Kernel::kSse2>(const Unit* p, std::size_t remaining, unsigned int* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i topFive = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
    std::size_t done = 0;
    while (remaining - done >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done));
        const int mask =
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, topFive), surrogate));
        // All eight are widened; only the prefix before a surrogate counts as written.
        __m128i* const dst = reinterpret_cast<__m128i*>(out + done);
        _mm_storeu_si128(dst, _mm_unpacklo_epi16(units, zero));
        _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(units, zero));
        if (mask != 0) {
            return done + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        }
        done += 8;
    }
    return done;
}
#else
template <>
std::size_t DecodeBmpRun<Kernel::kSse2>(const Unit* p, std::size_t remaining, unsigned int* out) {
    return DecodeBmpRun<Kernel::kPortable>(p, remaining, out);
}
#endif

template <Kernel K>
std::size_t Decode(const Unit* const begin, const std::size_t length, unsigned int* const out) {
    const Unit* p = begin;
    const Unit* const end = begin + length;
    unsigned int* o = out;
    while (p != end) {
        const unsigned int unit = *p;
        if (!IsSurrogate(unit)) {
            const std::size_t run = DecodeBmpRun<K>(p, static_cast<std::size_t>(end - p), o);
            if (run == 0) {  // fewer units left than a block
                *o++ = unit;
                ++p;
            } else {
                p += run;
                o += run;
            }
            continue;
        }
        if (unit >= 0xDC00 || end - p < 2) {  // trail first, or lead at the end
            return kInvalid;
        }
        const unsigned int trail = p[1];
        if (trail < 0xDC00 || trail > 0xDFFF) {
            return kInvalid;
        }
        const unsigned int value = 0x10000 + ((unit - 0xD800) << 10) + (trail - 0xDC00);
        if (value > 0x10FFFD) {
            return kInvalid;
        }
        *o++ = value;
        p += 2;
    }
    return static_cast<std::size_t>(o - out);
}

// Converts whole blocks of code points below U+10000 to units and returns how many it
// converted, stopping at the first block holding another value.
template <Kernel K>
std::size_t EncodeBmpBlocks(const unsigned int* in, std::size_t count, Unit* out);

template <>
std::size_t EncodeBmpBlocks<Kernel::kPortable>(const unsigned int* in, std::size_t count,
                                               Unit* out) {
    std::size_t done = 0;
    while (count - done >= 4) {
        const unsigned int* const block = in + done;
        if ((block[0] | block[1] | block[2] | block[3]) >= 0x10000) {
            break;
        }
        for (int i = 0; i < 4; ++i) {
            out[done + i] = static_cast<Unit>(block[i]);
        }
        done += 4;
    }
    return done;
}

#if defined(__SSE2__)
template <>
std::size_t EncodeBmpBlocks<Kernel::kSse2>(const unsigned int* in, std::size_t count, Unit* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias32 = _mm_set1_epi32(0x8000);
    const __m128i bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    std::size_t done = 0;
    while (count - done >= 8) {
        const __m128i* const src = reinterpret_cast<const __m128i*>(in + done);
        const __m128i a = _mm_loadu_si128(src);
        const __m128i b = _mm_loadu_si128(src + 1);
        const __m128i high = _mm_srli_epi32(_mm_or_si128(a, b), 16);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, zero)) != 0xFFFF) {
            break;
        }
        // SSE2 has only a signed 32-to-16 pack: shift the values into its range and back.
        const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(a, bias32), _mm_sub_epi32(b, bias32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), _mm_add_epi16(packed, bias16));
        done += 8;
    }
    return done;
}
#else
template <>
std::size_t EncodeBmpBlocks<Kernel::kSse2>(const unsigned int* in, std::size_t count, Unit* out) {
    return EncodeBmpBlocks<Kernel::kPortable>(in, count, out);
}
#endif

template <Kernel K>
std::size_t EncodeBmpPrefix(const unsigned int* in, std::size_t count, Unit* out) {
    std::size_t done = EncodeBmpBlocks<K>(in, count, out);
    while (done < count && in[done] < 0x10000) {
        out[done] = static_cast<Unit>(in[done]);
        ++done;
    }
    return done;
}

template <Kernel K>
std::size_t Encode(const unsigned int* in, std::size_t count, Unit* const out) {
    Unit* o = out;
    std::size_t i = 0;
    while (i < count) {
        const unsigned int c = in[i];
        if (c < 0x10000) {
            const std::size_t run = EncodeBmpPrefix<K>(in + i, count - i, o);
            i += run;
            o += run;
            continue;
        }
        if (c <= 0x10FFFF) {
            o[0] = static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10));
            o[1] = static_cast<Unit>(0xDC00 + (c & 0x3FF));
            o += 2;
        }
        ++i;
    }
    return static_cast<std::size_t>(o - out);
}

}  // namespace

std::size_t DecodeUtf16(const unsigned short* text, std::size_t length, unsigned int* out,
                        Kernel kernel) {
    return kernel == Kernel::kSse2 ? Decode<Kernel::kSse2>(text, length, out)
                                   : Decode<Kernel::kPortable>(text, length, out);
}

std::size_t Utf16Length(const unsigned int* codePoints, std::size_t count) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned int c = codePoints[i];
        total += c < 0x10000 ? 1 : (c <= 0x10FFFF ? 2 : 0);
    }
    return total;
}

std::size_t EncodeUtf16BmpPrefix(const unsigned int* codePoints, std::size_t count,
                                 unsigned short* out, Kernel kernel) {
    return kernel == Kernel::kSse2 ? EncodeBmpPrefix<Kernel::kSse2>(codePoints, count, out)
                                   : EncodeBmpPrefix<Kernel::kPortable>(codePoints, count, out);
}

std::size_t EncodeUtf16(const unsigned int* codePoints, std::size_t count, unsigned short* out,
                        Kernel kernel) {
    return kernel == Kernel::kSse2 ? Encode<Kernel::kSse2>(codePoints, count, out)
                                   : Encode<Kernel::kPortable>(codePoints, count, out);
}

}  // namespace qz::common::utf
