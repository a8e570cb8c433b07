#include "common/Utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Decoding takes runs of ASCII 16 bytes at a time (8 for the portable kernel) and every other
// sequence with a few well-predicted branches on its lead byte. A lone ASCII byte between other
// sequences, such as a space between words, is taken on its own.
//
// Encoding takes blocks of 16 code points: a block of ASCII is packed at once, and in any other
// block each code point is written as four bytes of which only the valid ones are kept, with
// no branch on the data, so mixed scripts cost no mispredicted branches (the SSE2 kernel builds
// the four bytes of four code points at once). The caller leaves `kUtf8EncodeSlack` spare
// bytes.

namespace qz::common::utf {
namespace {

using Byte = unsigned char;

constexpr std::size_t kBlock = 16;

constexpr std::uint64_t kHighBits8 = 0x8080808080808080ull;

// Converts whole blocks of ASCII bytes at `p` and returns how many bytes it converted; it stops
// at the first block holding another byte, converting that block's ASCII prefix too.
//
// Both routines may rely on `out` having room for `remaining` code points: every decoded byte
// so far gave at most one code point, so the output never runs ahead of the input.
template <Kernel K>
std::size_t DecodeAsciiRun(const Byte* p, std::size_t remaining, unsigned int* out);

template <>
std::size_t DecodeAsciiRun<Kernel::kPortable>(const Byte* p, std::size_t remaining,
                                              unsigned int* out) {
    std::size_t done = 0;
    while (remaining - done >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p + done, sizeof word);
        if ((word & kHighBits8) != 0) {
            // The block holds a byte >= 0x80, so this loop ends inside it.
            while (p[done] < 0x80) {
                out[done] = p[done];
                ++done;
            }
            return done;
        }
        for (int i = 0; i < 8; ++i) {
            out[done + i] = p[done + i];
        }
        done += 8;
    }
    return done;
}

#if defined(__SSE2__)
template <>
std::size_t DecodeAsciiRun<Kernel::kSse2>(const Byte* p, std::size_t remaining, unsigned int* out) {
    const __m128i zero = _mm_setzero_si128();
    std::size_t done = 0;
    while (remaining - done >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done));
        const int mask = _mm_movemask_epi8(bytes);
        // Widen all 16 bytes even when some are not ASCII: there is room for them, and only
        // the ASCII prefix counts as written.
        const __m128i low = _mm_unpacklo_epi8(bytes, zero);
        const __m128i high = _mm_unpackhi_epi8(bytes, zero);
        __m128i* const dst = reinterpret_cast<__m128i*>(out + done);
        _mm_storeu_si128(dst, _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(dst + 2, _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(dst + 3, _mm_unpackhi_epi16(high, zero));
        if (mask != 0) {
            return done + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
        done += 16;
    }
    return done;
}
#else
template <>
std::size_t DecodeAsciiRun<Kernel::kSse2>(const Byte* p, std::size_t remaining, unsigned int* out) {
    return DecodeAsciiRun<Kernel::kPortable>(p, remaining, out);
}
#endif

template <Kernel K>
std::size_t Decode(const Byte* const begin, const std::size_t length, unsigned int* const out) {
    const Byte* p = begin;
    const Byte* const end = begin + length;
    unsigned int* o = out;
    while (p != end) {
        const unsigned int lead = *p;
        if (lead < 0x80) {
            // A lone ASCII byte between other sequences (a space between words) is not worth
            // the block routine.
            if (end - p < 2 || p[1] >= 0x80) {
                *o++ = lead;
                ++p;
                continue;
            }
            const std::size_t run = DecodeAsciiRun<K>(p, static_cast<std::size_t>(end - p), o);
            if (run == 0) {  // fewer bytes left than a block
                *o++ = lead;
                ++p;
            } else {
                p += run;
                o += run;
            }
            continue;
        }
        // 0x80..0xBF cannot start a sequence; C0 and C1 only start overlong forms; F5..FF
        // would start values above U+10FFFF.
        if (lead < 0xC2 || lead > 0xF4) {
            return kInvalid;
        }
        const std::size_t left = static_cast<std::size_t>(end - p);
        // Continuation bytes are tested on their top bit alone.
        if (lead < 0xE0) {
            if (left < 2 || (p[1] & 0x80) == 0) {
                return kInvalid;
            }
            *o++ = ((lead & 0x1F) << 6) | (p[1] & 0x3Fu);
            p += 2;
        } else if (lead < 0xF0) {
            if (left < 3 || (p[1] & p[2] & 0x80) == 0) {
                return kInvalid;
            }
            const unsigned int value =
                ((lead & 0x0F) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
            if (value < 0x800) {  // overlong; surrogate values are let through
                return kInvalid;
            }
            *o++ = value;
            p += 3;
        } else {
            if (left < 4 || (p[1] & p[2] & p[3] & 0x80) == 0) {
                return kInvalid;
            }
            const unsigned int value = ((lead & 0x07) << 18) | ((p[1] & 0x3Fu) << 12) |
                                       ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
            if (value - 0x10000 > 0xFFFFD) {
                return kInvalid;
            }
            *o++ = value;
            p += 4;
        }
    }
    return static_cast<std::size_t>(o - out);
}

// Writes the UTF-8 form of `c` as four bytes at `out` and returns how many of them count:
// 1 to 4, or 0 above U+10FFFF.
inline std::size_t EncodeSequence(unsigned int c, Byte* out) {
    const unsigned int ascii = c < 0x80;
    const unsigned int length = 1u + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000);
    // The four-byte form, first byte lowest; shorter forms are its last bytes with the lead
    // marker completed (0x80 becomes 0xC0 or 0xE0), and a single byte is the value itself.
    const unsigned int last = (c & (0x3F | (ascii << 6))) | ((ascii ^ 1) << 7);
    const unsigned int four = (0xF0 | ((c >> 18) & 0x07)) | ((0x80 | ((c >> 12) & 0x3F)) << 8) |
                              ((0x80 | ((c >> 6) & 0x3F)) << 16) | (last << 24);
    static constexpr unsigned int kLeadFix[5] = {0, 0, 0x40, 0x60, 0};
    const unsigned int word = (four >> (32 - 8 * length)) | kLeadFix[length];
    out[0] = static_cast<Byte>(word);
    out[1] = static_cast<Byte>(word >> 8);
    out[2] = static_cast<Byte>(word >> 16);
    out[3] = static_cast<Byte>(word >> 24);
    return c <= 0x10FFFF ? length : 0;
}

// Whether the 16 code points at `in` are all below U+0080; if so they are written as bytes.
template <Kernel K>
bool EncodeAsciiBlock(const unsigned int* in, Byte* out);

template <>
bool EncodeAsciiBlock<Kernel::kPortable>(const unsigned int* in, Byte* out) {
    unsigned int any = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        any |= in[i];
    }
    if (any >= 0x80) {
        return false;
    }
    for (std::size_t i = 0; i < kBlock; ++i) {
        out[i] = static_cast<Byte>(in[i]);
    }
    return true;
}

#if defined(__SSE2__)
template <>
bool EncodeAsciiBlock<Kernel::kSse2>(const unsigned int* in, Byte* out) {
    const __m128i* const src = reinterpret_cast<const __m128i*>(in);
    const __m128i a = _mm_loadu_si128(src);
    const __m128i b = _mm_loadu_si128(src + 1);
    const __m128i c = _mm_loadu_si128(src + 2);
    const __m128i d = _mm_loadu_si128(src + 3);
    const __m128i high =
        _mm_and_si128(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)), _mm_set1_epi32(~0x7F));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
    // Values below 0x80 survive both saturating packs unchanged.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d)));
    return true;
}
#else
template <>
bool EncodeAsciiBlock<Kernel::kSse2>(const unsigned int* in, Byte* out) {
    return EncodeAsciiBlock<Kernel::kPortable>(in, out);
}
#endif

// Encodes the 16 code points at `in` that are not all ASCII and returns the output position
// after them.
template <Kernel K>
Byte* EncodeMixedBlock(const unsigned int* in, Byte* o);

template <>
Byte* EncodeMixedBlock<Kernel::kPortable>(const unsigned int* in, Byte* o) {
    for (std::size_t j = 0; j < kBlock; ++j) {
        o += EncodeSequence(in[j], o);
    }
    return o;
}

#if defined(__SSE2__)
template <>
Byte* EncodeMixedBlock<Kernel::kSse2>(const unsigned int* in, Byte* o) {
    // Unsigned compares through a flipped sign bit.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i from80 = _mm_set1_epi32(static_cast<int>(0x7Fu ^ 0x80000000u));
    const __m128i from800 = _mm_set1_epi32(static_cast<int>(0x7FFu ^ 0x80000000u));
    const __m128i from10000 = _mm_set1_epi32(static_cast<int>(0xFFFFu ^ 0x80000000u));
    const __m128i above = _mm_set1_epi32(static_cast<int>(0x10FFFFu ^ 0x80000000u));
    const __m128i low6 = _mm_set1_epi32(0x3F);
    const __m128i marker = _mm_set1_epi32(0x80);
    alignas(16) unsigned int words[kBlock];
    alignas(16) unsigned int lengths[kBlock];
    for (std::size_t v = 0; v < kBlock; v += 4) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + v));
        const __m128i flipped = _mm_xor_si128(c, flip);
        const __m128i two = _mm_cmpgt_epi32(flipped, from80);
        const __m128i three = _mm_cmpgt_epi32(flipped, from800);
        const __m128i four = _mm_cmpgt_epi32(flipped, from10000);
        // The masks are -1 where they hold: 1 minus their sum is the length, 0 when skipped.
        const __m128i length = _mm_andnot_si128(
            _mm_cmpgt_epi32(flipped, above),
            _mm_sub_epi32(_mm_sub_epi32(_mm_sub_epi32(_mm_set1_epi32(1), two), three), four));
        // Each form as a little-endian word, first byte lowest.
        const __m128i byte0 = _mm_or_si128(_mm_and_si128(c, low6), marker);
        const __m128i byte1 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(c, 6), low6), marker);
        const __m128i byte2 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(c, 12), low6), marker);
        const __m128i form2 = _mm_or_si128(_mm_or_si128(_mm_srli_epi32(c, 6), _mm_set1_epi32(0xC0)),
                                           _mm_slli_epi32(byte0, 8));
        const __m128i form3 =
            _mm_or_si128(_mm_or_si128(_mm_srli_epi32(c, 12), _mm_set1_epi32(0xE0)),
                         _mm_or_si128(_mm_slli_epi32(byte1, 8), _mm_slli_epi32(byte0, 16)));
        const __m128i form4 = _mm_or_si128(
            _mm_or_si128(_mm_srli_epi32(c, 18), _mm_set1_epi32(0xF0)),
            _mm_or_si128(_mm_slli_epi32(byte2, 8),
                         _mm_or_si128(_mm_slli_epi32(byte1, 16), _mm_slli_epi32(byte0, 24))));
        __m128i word = _mm_or_si128(_mm_and_si128(two, form2), _mm_andnot_si128(two, c));
        word = _mm_or_si128(_mm_and_si128(three, form3), _mm_andnot_si128(three, word));
        word = _mm_or_si128(_mm_and_si128(four, form4), _mm_andnot_si128(four, word));
        _mm_store_si128(reinterpret_cast<__m128i*>(words + v), word);
        _mm_store_si128(reinterpret_cast<__m128i*>(lengths + v), length);
    }
    // SSE2 means x86: the words are stored little-endian, first byte first.
    for (std::size_t j = 0; j < kBlock; ++j) {
        std::memcpy(o, &words[j], 4);
        o += lengths[j];
    }
    return o;
}
#else
template <>
Byte* EncodeMixedBlock<Kernel::kSse2>(const unsigned int* in, Byte* o) {
    return EncodeMixedBlock<Kernel::kPortable>(in, o);
}
#endif

template <Kernel K>
std::size_t EncodeAsciiPrefix(const unsigned int* in, std::size_t count, Byte* out) {
    std::size_t done = 0;
    while (count - done >= kBlock && EncodeAsciiBlock<K>(in + done, out + done)) {
        done += kBlock;
    }
    while (done < count && in[done] < 0x80) {
        out[done] = static_cast<Byte>(in[done]);
        ++done;
    }
    return done;
}

template <Kernel K>
std::size_t Encode(const unsigned int* in, std::size_t count, Byte* const out) {
    Byte* o = out;
    std::size_t i = 0;
    for (; count - i >= kBlock; i += kBlock) {
        if (EncodeAsciiBlock<K>(in + i, o)) {
            o += kBlock;
            continue;
        }
        o = EncodeMixedBlock<K>(in + i, o);
    }
    for (; i < count; ++i) {
        o += EncodeSequence(in[i], o);
    }
    return static_cast<std::size_t>(o - out);
}

}  // namespace

std::size_t DecodeUtf8(const char* text, std::size_t length, unsigned int* out, Kernel kernel) {
    const Byte* const bytes = reinterpret_cast<const Byte*>(text);
    return kernel == Kernel::kSse2 ? Decode<Kernel::kSse2>(bytes, length, out)
                                   : Decode<Kernel::kPortable>(bytes, length, out);
}

std::size_t Utf8Length(const unsigned int* codePoints, std::size_t count) {
    std::size_t total = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Unsigned compares through a flipped sign bit. Each compare gives -1 where it holds, so a
    // lane adds 1 minus the three "longer" masks, or nothing above U+10FFFF. Lanes are summed
    // every 2^28 code points, long before they could overflow.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i from80 = _mm_set1_epi32(static_cast<int>(0x7Fu ^ 0x80000000u));
    const __m128i from800 = _mm_set1_epi32(static_cast<int>(0x7FFu ^ 0x80000000u));
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
            const __m128i longer = _mm_add_epi32(
                _mm_add_epi32(_mm_cmpgt_epi32(c, from80), _mm_cmpgt_epi32(c, from800)),
                _mm_cmpgt_epi32(c, from10000));
            sums = _mm_add_epi32(
                sums, _mm_andnot_si128(_mm_cmpgt_epi32(c, above), _mm_sub_epi32(one, longer)));
        }
        alignas(16) unsigned int lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
        total += static_cast<std::size_t>(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
    }
#endif
    for (; i < count; ++i) {
        const unsigned int c = codePoints[i];
        total += (c <= 0x10FFFF) * (1u + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000));
    }
    return total;
}

std::size_t EncodeUtf8AsciiPrefix(const unsigned int* codePoints, std::size_t count, char* out,
                                  Kernel kernel) {
    Byte* const bytes = reinterpret_cast<Byte*>(out);
    return kernel == Kernel::kSse2 ? EncodeAsciiPrefix<Kernel::kSse2>(codePoints, count, bytes)
                                   : EncodeAsciiPrefix<Kernel::kPortable>(codePoints, count, bytes);
}

std::size_t EncodeUtf8(const unsigned int* codePoints, std::size_t count, char* out,
                       Kernel kernel) {
    Byte* const bytes = reinterpret_cast<Byte*>(out);
    return kernel == Kernel::kSse2 ? Encode<Kernel::kSse2>(codePoints, count, bytes)
                                   : Encode<Kernel::kPortable>(codePoints, count, bytes);
}

}  // namespace qz::common::utf
