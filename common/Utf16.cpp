#include "common/Utf16.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Decoding works in blocks of 8 units. A block without surrogates is widened at once. In any
// other block every unit is handled the same way, without branching on the data: a lead is
// combined with the unit after it, a trail writes nothing (the output position does not move),
// and a unit is malformed when "is a trail" differs from "follows a lead". Only the output
// position carries from one unit to the next, so units are decoded independently; the SSE2
// kernel computes the values of a whole block at once.
//
// Encoding writes each code point as two units of which one, two or none count; the caller
// leaves `kUtf16EncodeSlack` spare units.

namespace qz::common::utf {
namespace {

using Unit = unsigned short;

constexpr std::size_t kBlock = 8;

// Decodes one unit, `next` being the unit after it (0 at the end of the input). Returns the
// number of code points it completes (0 for a trail) and updates the pending-lead state.
inline unsigned int DecodeUnit(unsigned int unit, unsigned int next, unsigned int* out,
                               unsigned int& leadPending, unsigned int& bad) {
    const unsigned int isLead = unit - 0xD800 < 0x400;
    const unsigned int isTrail = unit - 0xDC00 < 0x400;
    const unsigned int pair = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
    // A lead whose next unit is not a trail is caught when that unit comes: it follows a lead.
    bad |= (isTrail ^ leadPending) | (isLead & static_cast<unsigned int>(pair > 0x10FFFD));
    *out = isLead ? pair : unit;
    leadPending = isLead;
    return isTrail ^ 1;
}

// Whether the 8 units at `p` hold no surrogate; if so they are widened into `out`.
template <Kernel K>
bool DecodeBmpBlock(const Unit* p, unsigned int* out);

template <>
bool DecodeBmpBlock<Kernel::kPortable>(const Unit* p, unsigned int* out) {
    constexpr std::uint64_t kTopFive = 0xF800F800F800F800ull;
    constexpr std::uint64_t kSurrogate = 0xD800D800D800D800ull;
    constexpr std::uint64_t kLowBits = 0x0001000100010001ull;
    constexpr std::uint64_t kHighBits = 0x8000800080008000ull;
    std::uint64_t words[2];
    std::memcpy(words, p, sizeof words);
    for (const std::uint64_t word : words) {
        // A lane is 0 exactly for a surrogate; the classic zero-lane test is exact about
        // whether any lane is 0.
        const std::uint64_t x = (word & kTopFive) ^ kSurrogate;
        if (((x - kLowBits) & ~x & kHighBits) != 0) {
            return false;
        }
    }
    for (std::size_t i = 0; i < kBlock; ++i) {
        out[i] = p[i];
    }
    return true;
}

#if defined(__SSE2__)
template <>
bool DecodeBmpBlock<Kernel::kSse2>(const Unit* p, unsigned int* out) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i surrogates =
        _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xF800))),
                        _mm_set1_epi16(static_cast<short>(0xD800)));
    if (_mm_movemask_epi8(surrogates) != 0) {
        return false;
    }
    const __m128i zero = _mm_setzero_si128();
    __m128i* const dst = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(dst, _mm_unpacklo_epi16(units, zero));
    _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(units, zero));
    return true;
}
#else
template <>
bool DecodeBmpBlock<Kernel::kSse2>(const Unit* p, unsigned int* out) {
    return DecodeBmpBlock<Kernel::kPortable>(p, out);
}
#endif

// Decodes the 8 units at `p` (a 9th readable) that hold a surrogate or follow a lead, and
// returns the output position after them.
template <Kernel K>
unsigned int* DecodeMixedBlock(const Unit* p, unsigned int* o, unsigned int& leadPending,
                               unsigned int& bad);

template <>
unsigned int* DecodeMixedBlock<Kernel::kPortable>(const Unit* p, unsigned int* o,
                                                  unsigned int& leadPending, unsigned int& bad) {
    for (std::size_t i = 0; i < kBlock; ++i) {
        o += DecodeUnit(p[i], p[i + 1], o, leadPending, bad);
    }
    return o;
}

#if defined(__SSE2__)
template <>
unsigned int* DecodeMixedBlock<Kernel::kSse2>(const Unit* p, unsigned int* o,
                                              unsigned int& leadPending, unsigned int& bad) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i topSix = _mm_set1_epi16(static_cast<short>(0xFC00));
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const __m128i isLead =
        _mm_cmpeq_epi16(_mm_and_si128(units, topSix), _mm_set1_epi16(static_cast<short>(0xD800)));
    const __m128i trail = _mm_set1_epi16(static_cast<short>(0xDC00));
    const unsigned int leadBits = static_cast<unsigned int>(_mm_movemask_epi8(isLead));
    const unsigned int trailBits = static_cast<unsigned int>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, topSix), trail)));
    const unsigned int nextTrailBits = static_cast<unsigned int>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(next, topSix), trail)));
    // Every lead is followed by a trail and every trail follows a lead, across blocks too.
    bad |= (leadBits ^ nextTrailBits) | ((trailBits & 1) ^ leadPending);
    leadPending = leadBits >> 15;

    const __m128i pairBias = _mm_set1_epi32(static_cast<int>(0x10000u - (0xD800u << 10) - 0xDC00u));
    const __m128i largest = _mm_set1_epi32(0x10FFFD);
    alignas(16) unsigned int values[kBlock];
    for (int half = 0; half < 2; ++half) {
        const __m128i unit32 =
            half == 0 ? _mm_unpacklo_epi16(units, zero) : _mm_unpackhi_epi16(units, zero);
        const __m128i next32 =
            half == 0 ? _mm_unpacklo_epi16(next, zero) : _mm_unpackhi_epi16(next, zero);
        const __m128i lead32 =
            half == 0 ? _mm_unpacklo_epi16(isLead, isLead) : _mm_unpackhi_epi16(isLead, isLead);
        const __m128i pair =
            _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(unit32, 10), next32), pairBias);
        bad |= static_cast<unsigned int>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi32(pair, largest), lead32)));
        _mm_store_si128(
            reinterpret_cast<__m128i*>(values) + half,
            _mm_or_si128(_mm_and_si128(lead32, pair), _mm_andnot_si128(lead32, unit32)));
    }
    // Trails write nothing: each value is stored and the position moves past all but them.
    for (std::size_t i = 0; i < kBlock; ++i) {
        *o = values[i];
        o += ((trailBits >> (2 * i)) & 1) ^ 1;
    }
    return o;
}
#else
template <>
unsigned int* DecodeMixedBlock<Kernel::kSse2>(const Unit* p, unsigned int* o,
                                              unsigned int& leadPending, unsigned int& bad) {
    return DecodeMixedBlock<Kernel::kPortable>(p, o, leadPending, bad);
}
#endif

template <Kernel K>
std::size_t Decode(const Unit* const begin, const std::size_t length, unsigned int* const out) {
    const Unit* p = begin;
    const Unit* const end = begin + length;
    unsigned int* o = out;
    unsigned int leadPending = 0;
    unsigned int bad = 0;
    // Blocks keep one unit of look-ahead for the lead at their end. Each unit writes at most
    // one code point at or before its own position, so the output has room.
    while (static_cast<std::size_t>(end - p) > kBlock) {
        if (leadPending == 0 && DecodeBmpBlock<K>(p, o)) {
            p += kBlock;
            o += kBlock;
            continue;
        }
        o = DecodeMixedBlock<K>(p, o, leadPending, bad);
        p += kBlock;
        if (bad != 0) {
            return kInvalid;
        }
    }
    for (; p != end; ++p) {
        o += DecodeUnit(p[0], p + 1 != end ? p[1] : 0, o, leadPending, bad);
    }
    return (bad | leadPending) != 0 ? kInvalid : static_cast<std::size_t>(o - out);
}

// Writes `c` as two units at `out` and returns how many of them count: 1 below U+10000, 2 up
// to U+10FFFF, 0 above.
inline std::size_t EncodeCodePoint(unsigned int c, Unit* out) {
    const unsigned int supplementary = c >= 0x10000;
    out[0] = static_cast<Unit>(supplementary ? 0xD800 + ((c - 0x10000) >> 10) : c);
    out[1] = static_cast<Unit>(0xDC00 + (c & 0x3FF));
    return c <= 0x10FFFF ? 1 + supplementary : 0;
}

// Whether the 8 code points at `in` are all below U+10000; if so they are written as units.
template <Kernel K>
bool EncodeBmpBlock(const unsigned int* in, Unit* out);

template <>
bool EncodeBmpBlock<Kernel::kPortable>(const unsigned int* in, Unit* out) {
    unsigned int any = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        any |= in[i];
    }
    if (any >= 0x10000) {
        return false;
    }
    for (std::size_t i = 0; i < kBlock; ++i) {
        out[i] = static_cast<Unit>(in[i]);
    }
    return true;
}

#if defined(__SSE2__)
template <>
bool EncodeBmpBlock<Kernel::kSse2>(const unsigned int* in, Unit* out) {
    const __m128i* const src = reinterpret_cast<const __m128i*>(in);
    const __m128i a = _mm_loadu_si128(src);
    const __m128i b = _mm_loadu_si128(src + 1);
    const __m128i high = _mm_srli_epi32(_mm_or_si128(a, b), 16);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
    // SSE2 has only a signed 32-to-16 pack: shift the values into its range and back.
    const __m128i bias32 = _mm_set1_epi32(0x8000);
    const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(a, bias32), _mm_sub_epi32(b, bias32));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_add_epi16(packed, _mm_set1_epi16(static_cast<short>(0x8000))));
    return true;
}
#else
template <>
bool EncodeBmpBlock<Kernel::kSse2>(const unsigned int* in, Unit* out) {
    return EncodeBmpBlock<Kernel::kPortable>(in, out);
}
#endif

// Encodes the 8 code points at `in` that are not all below U+10000 and returns the output
// position after them.
template <Kernel K>
Unit* EncodeMixedBlock(const unsigned int* in, Unit* o);

template <>
Unit* EncodeMixedBlock<Kernel::kPortable>(const unsigned int* in, Unit* o) {
    for (std::size_t j = 0; j < kBlock; ++j) {
        o += EncodeCodePoint(in[j], o);
    }
    return o;
}

#if defined(__SSE2__)
template <>
Unit* EncodeMixedBlock<Kernel::kSse2>(const unsigned int* in, Unit* o) {
    // Unsigned compares through a flipped sign bit.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i fromSupplementary = _mm_set1_epi32(static_cast<int>(0xFFFFu ^ 0x80000000u));
    const __m128i above = _mm_set1_epi32(static_cast<int>(0x10FFFFu ^ 0x80000000u));
    alignas(16) unsigned int words[kBlock];
    alignas(16) unsigned int lengths[kBlock];
    for (std::size_t v = 0; v < kBlock; v += 4) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + v));
        const __m128i flipped = _mm_xor_si128(c, flip);
        const __m128i supplementary = _mm_cmpgt_epi32(flipped, fromSupplementary);
        // 1 - (-1) = 2 units for a pair, 0 when skipped.
        const __m128i length = _mm_andnot_si128(_mm_cmpgt_epi32(flipped, above),
                                                _mm_sub_epi32(_mm_set1_epi32(1), supplementary));
        const __m128i lead = _mm_add_epi32(
            _mm_srli_epi32(_mm_sub_epi32(c, _mm_set1_epi32(0x10000)), 10), _mm_set1_epi32(0xD800));
        const __m128i trail =
            _mm_or_si128(_mm_and_si128(c, _mm_set1_epi32(0x3FF)), _mm_set1_epi32(0xDC00));
        // Two units per word, the first one low.
        const __m128i pair =
            _mm_or_si128(_mm_and_si128(lead, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(trail, 16));
        _mm_store_si128(
            reinterpret_cast<__m128i*>(words + v),
            _mm_or_si128(_mm_and_si128(supplementary, pair), _mm_andnot_si128(supplementary, c)));
        _mm_store_si128(reinterpret_cast<__m128i*>(lengths + v), length);
    }
    // SSE2 means x86: the words are stored little-endian, first unit first.
    for (std::size_t j = 0; j < kBlock; ++j) {
        std::memcpy(o, &words[j], 4);
        o += lengths[j];
    }
    return o;
}
#else
template <>
Unit* EncodeMixedBlock<Kernel::kSse2>(const unsigned int* in, Unit* o) {
    return EncodeMixedBlock<Kernel::kPortable>(in, o);
}
#endif

template <Kernel K>
std::size_t EncodeBmpPrefix(const unsigned int* in, std::size_t count, Unit* out) {
    std::size_t done = 0;
    while (count - done >= kBlock && EncodeBmpBlock<K>(in + done, out + done)) {
        done += kBlock;
    }
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
    for (; count - i >= kBlock; i += kBlock) {
        if (EncodeBmpBlock<K>(in + i, o)) {
            o += kBlock;
            continue;
        }
        o = EncodeMixedBlock<K>(in + i, o);
    }
    for (; i < count; ++i) {
        o += EncodeCodePoint(in[i], o);
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
    std::size_t i = 0;
#if defined(__SSE2__)
    // As in Utf8Length: unsigned compares through a flipped sign bit, lanes summed every 2^28
    // code points.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i from10000 = _mm_set1_epi32(static_cast<int>(0xFFFFu ^ 0x80000000u));
    const __m128i above = _mm_set1_epi32(static_cast<int>(0x10FFFFu ^ 0x80000000u));
    const __m128i one = _mm_set1_epi32(1);
    while (count - i >= 4) {
        std::size_t chunk = (count - i) & ~static_cast<std::size_t>(3);
        if (chunk > (static_cast<std::size_t>(1) << 28)) {
            chunk = static_cast<std::size_t>(1) << 28;
        }
        const std::size_t chunkEnd = i + chunk;
        __m128i sums = _mm_setzero_si128();
        for (; i < chunkEnd; i += 4) {
            const __m128i c = _mm_xor_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(codePoints + i)), flip);
            const __m128i units = _mm_sub_epi32(one, _mm_cmpgt_epi32(c, from10000));
            sums = _mm_add_epi32(sums, _mm_andnot_si128(_mm_cmpgt_epi32(c, above), units));
        }
        alignas(16) unsigned int lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        total += static_cast<std::size_t>(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
    }
#endif
    for (; i < count; ++i) {
        const unsigned int c = codePoints[i];
        total += (c <= 0x10FFFF) * (1u + (c >= 0x10000));
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
