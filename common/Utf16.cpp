#include "common/Utf16.h"

#include <cstdint>
#include <cstring>

#include "common/UtfBlocks.h"

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

// The portable kernel: 64-bit word tests.
struct Utf16Portable : blocks::PortableEncodeBlocks<Utf16Portable, Unit> {
    // Units in a decoding block, code points in an encoding block.
    static constexpr std::size_t kBlock = 8;
    static constexpr unsigned int kNarrowEnd = 0x10000;

    // Whether the 8 units at `p` hold no surrogate; if so they are widened into `out`.
    static bool DecodeBmpBlock(const Unit* p, unsigned int* out) {
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

    // Decodes the 8 units at `p` (a 9th readable) that hold a surrogate or follow a lead, and
    // returns the output position after them.
    static unsigned int* DecodeMixedBlock(const Unit* p, unsigned int* o, unsigned int& leadPending,
                                          unsigned int& bad) {
        for (std::size_t i = 0; i < kBlock; ++i) {
            o += DecodeUnit(p[i], p[i + 1], o, leadPending, bad);
        }
        return o;
    }

    // Writes `c` as two units at `out` and returns how many of them count: 1 below U+10000, 2
    // up to U+10FFFF, 0 above.
    static std::size_t EncodeOne(unsigned int c, Unit* out) {
        const unsigned int supplementary = c >= 0x10000;
        out[0] = static_cast<Unit>(supplementary ? 0xD800 + ((c - 0x10000) >> 10) : c);
        out[1] = static_cast<Unit>(0xDC00 + (c & 0x3FF));
        return c <= 0x10FFFF ? 1 + supplementary : 0;
    }

    static unsigned int Count(unsigned int c) { return (c <= 0x10FFFF) * (1u + (c >= 0x10000)); }
};

#if defined(__SSE2__)
// The SSE2 kernel: 128-bit blocks.
struct Utf16Sse2 : Utf16Portable {
    static bool DecodeBmpBlock(const Unit* p, unsigned int* out) {
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

    static unsigned int* DecodeMixedBlock(const Unit* p, unsigned int* o, unsigned int& leadPending,
                                          unsigned int& bad) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i topSix = _mm_set1_epi16(static_cast<short>(0xFC00));
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const __m128i isLead = _mm_cmpeq_epi16(_mm_and_si128(units, topSix),
                                               _mm_set1_epi16(static_cast<short>(0xD800)));
        const __m128i trail = _mm_set1_epi16(static_cast<short>(0xDC00));
        const unsigned int leadBits = static_cast<unsigned int>(_mm_movemask_epi8(isLead));
        const unsigned int trailBits = static_cast<unsigned int>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, topSix), trail)));
        const unsigned int nextTrailBits = static_cast<unsigned int>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(next, topSix), trail)));
        // Every lead is followed by a trail and every trail follows a lead, across blocks too.
        bad |= (leadBits ^ nextTrailBits) | ((trailBits & 1) ^ leadPending);
        leadPending = leadBits >> 15;

        const __m128i pairBias =
            _mm_set1_epi32(static_cast<int>(0x10000u - (0xD800u << 10) - 0xDC00u));
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

    static bool EncodeNarrowBlock(const unsigned int* in, Unit* out) {
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

    // 1 - (-1) = 2 units for a pair, 0 when skipped.
    static __m128i CountVector(__m128i flipped) {
        return _mm_andnot_si128(
            _mm_cmpgt_epi32(flipped, blocks::Flipped(0x10FFFF)),
            _mm_sub_epi32(_mm_set1_epi32(1), _mm_cmpgt_epi32(flipped, blocks::Flipped(0xFFFF))));
    }

    static Unit* EncodeMixedBlock(const unsigned int* in, Unit* o) {
        return blocks::EncodeMixedBlockSse2<Utf16Sse2>(in, o, [](__m128i c, __m128i flipped) {
            const __m128i supplementary = _mm_cmpgt_epi32(flipped, blocks::Flipped(0xFFFF));
            const __m128i lead =
                _mm_add_epi32(_mm_srli_epi32(_mm_sub_epi32(c, _mm_set1_epi32(0x10000)), 10),
                              _mm_set1_epi32(0xD800));
            const __m128i trail =
                _mm_or_si128(_mm_and_si128(c, _mm_set1_epi32(0x3FF)), _mm_set1_epi32(0xDC00));
            const __m128i pair = _mm_or_si128(_mm_and_si128(lead, _mm_set1_epi32(0xFFFF)),
                                              _mm_slli_epi32(trail, 16));
            return _mm_or_si128(_mm_and_si128(supplementary, pair),
                                _mm_andnot_si128(supplementary, c));
        });
    }
};
#else
using Utf16Sse2 = Utf16Portable;
#endif

template <typename B>
std::size_t Decode(const Unit* const begin, const std::size_t length, unsigned int* const out) {
    const Unit* p = begin;
    const Unit* const end = begin + length;
    unsigned int* o = out;
    unsigned int leadPending = 0;
    unsigned int bad = 0;
    // Blocks keep one unit of look-ahead for the lead at their end. Each unit writes at most
    // one code point at or before its own position, so the output has room.
    while (static_cast<std::size_t>(end - p) > B::kBlock) {
        if (leadPending == 0 && B::DecodeBmpBlock(p, o)) {
            p += B::kBlock;
            o += B::kBlock;
            continue;
        }
        o = B::DecodeMixedBlock(p, o, leadPending, bad);
        p += B::kBlock;
        if (bad != 0) {
            return kInvalid;
        }
    }
    for (; p != end; ++p) {
        o += DecodeUnit(p[0], p + 1 != end ? p[1] : 0, o, leadPending, bad);
    }
    return (bad | leadPending) != 0 ? kInvalid : static_cast<std::size_t>(o - out);
}

}  // namespace

std::size_t DecodeUtf16(const unsigned short* text, std::size_t length, unsigned int* out,
                        Kernel kernel) {
    return blocks::WithKernel<Utf16Portable, Utf16Sse2>(
        kernel, [&](auto k) { return Decode<decltype(k)>(text, length, out); });
}

std::size_t Utf16Length(const unsigned int* codePoints, std::size_t count) {
    return blocks::Count<Utf16Sse2>(codePoints, count);
}

std::size_t EncodeUtf16BmpPrefix(const unsigned int* codePoints, std::size_t count,
                                 unsigned short* out, Kernel kernel) {
    return blocks::WithKernel<Utf16Portable, Utf16Sse2>(kernel, [&](auto k) {
        return blocks::EncodeNarrowPrefix<decltype(k)>(codePoints, count, out);
    });
}

std::size_t EncodeUtf16(const unsigned int* codePoints, std::size_t count, unsigned short* out,
                        Kernel kernel) {
    return blocks::WithKernel<Utf16Portable, Utf16Sse2>(
        kernel, [&](auto k) { return blocks::Encode<decltype(k)>(codePoints, count, out); });
}

}  // namespace qz::common::utf
