#include "common/Utf8.h"

#include <cstdint>
#include <cstring>

#include "common/UtfBlocks.h"

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

constexpr std::uint64_t kHighBits8 = 0x8080808080808080ull;

// The portable kernel: 64-bit word tests.
struct Utf8Portable : blocks::PortableEncodeBlocks<Utf8Portable, Byte> {
    static constexpr std::size_t kBlock = 16;
    static constexpr unsigned int kNarrowEnd = 0x80;

    // Converts whole blocks of ASCII bytes at `p` and returns how many bytes it converted; it
    // stops at the first block holding another byte, converting that block's ASCII prefix too.
    //
    // It may rely on `out` having room for `remaining` code points: every decoded byte so far
    // gave at most one code point, so the output never runs ahead of the input.
    static std::size_t DecodeAsciiRun(const Byte* p, std::size_t remaining, unsigned int* out) {
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

    // Writes the UTF-8 form of `c` as four bytes at `out` and returns how many of them count:
    // 1 to 4, or 0 above U+10FFFF.
    static std::size_t EncodeOne(unsigned int c, Byte* out) {
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

    static unsigned int Count(unsigned int c) {
        return (c <= 0x10FFFF) * (1u + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000));
    }
};

#if defined(__SSE2__)
// The SSE2 kernel: 128-bit blocks.
struct Utf8Sse2 : Utf8Portable {
    static std::size_t DecodeAsciiRun(const Byte* p, std::size_t remaining, unsigned int* out) {
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

    static bool EncodeNarrowBlock(const unsigned int* in, Byte* out) {
        const __m128i* const src = reinterpret_cast<const __m128i*>(in);
        const __m128i a = _mm_loadu_si128(src);
        const __m128i b = _mm_loadu_si128(src + 1);
        const __m128i c = _mm_loadu_si128(src + 2);
        const __m128i d = _mm_loadu_si128(src + 3);
        const __m128i high = _mm_and_si128(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)),
                                           _mm_set1_epi32(~0x7F));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) {
            return false;
        }
        // Values below 0x80 survive both saturating packs unchanged.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d)));
        return true;
    }

    // Each compare gives -1 where it holds, so a lane is 1 minus the three "longer" masks, or
    // nothing above U+10FFFF.
    static __m128i CountVector(__m128i flipped) {
        const __m128i longer =
            _mm_add_epi32(_mm_add_epi32(_mm_cmpgt_epi32(flipped, blocks::Flipped(0x7F)),
                                        _mm_cmpgt_epi32(flipped, blocks::Flipped(0x7FF))),
                          _mm_cmpgt_epi32(flipped, blocks::Flipped(0xFFFF)));
        return _mm_andnot_si128(_mm_cmpgt_epi32(flipped, blocks::Flipped(0x10FFFF)),
                                _mm_sub_epi32(_mm_set1_epi32(1), longer));
    }

    // Builds the four bytes of four code points at once.
    static Byte* EncodeMixedBlock(const unsigned int* in, Byte* o) {
        return blocks::EncodeMixedBlockSse2<Utf8Sse2>(in, o, [](__m128i c, __m128i flipped) {
            const __m128i low6 = _mm_set1_epi32(0x3F);
            const __m128i marker = _mm_set1_epi32(0x80);
            const __m128i two = _mm_cmpgt_epi32(flipped, blocks::Flipped(0x7F));
            const __m128i three = _mm_cmpgt_epi32(flipped, blocks::Flipped(0x7FF));
            const __m128i four = _mm_cmpgt_epi32(flipped, blocks::Flipped(0xFFFF));
            const __m128i byte0 = _mm_or_si128(_mm_and_si128(c, low6), marker);
            const __m128i byte1 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(c, 6), low6), marker);
            const __m128i byte2 = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(c, 12), low6), marker);
            const __m128i form2 = _mm_or_si128(
                _mm_or_si128(_mm_srli_epi32(c, 6), _mm_set1_epi32(0xC0)), _mm_slli_epi32(byte0, 8));
            const __m128i form3 =
                _mm_or_si128(_mm_or_si128(_mm_srli_epi32(c, 12), _mm_set1_epi32(0xE0)),
                             _mm_or_si128(_mm_slli_epi32(byte1, 8), _mm_slli_epi32(byte0, 16)));
            const __m128i form4 = _mm_or_si128(
                _mm_or_si128(_mm_srli_epi32(c, 18), _mm_set1_epi32(0xF0)),
                _mm_or_si128(_mm_slli_epi32(byte2, 8),
                             _mm_or_si128(_mm_slli_epi32(byte1, 16), _mm_slli_epi32(byte0, 24))));
            __m128i word = _mm_or_si128(_mm_and_si128(two, form2), _mm_andnot_si128(two, c));
            word = _mm_or_si128(_mm_and_si128(three, form3), _mm_andnot_si128(three, word));
            return _mm_or_si128(_mm_and_si128(four, form4), _mm_andnot_si128(four, word));
        });
    }
};
#else
using Utf8Sse2 = Utf8Portable;
#endif

template <typename B>
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
            const std::size_t run = B::DecodeAsciiRun(p, static_cast<std::size_t>(end - p), o);
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

}  // namespace

std::size_t DecodeUtf8(const char* text, std::size_t length, unsigned int* out, Kernel kernel) {
    const Byte* const bytes = reinterpret_cast<const Byte*>(text);
    return blocks::WithKernel<Utf8Portable, Utf8Sse2>(
        kernel, [&](auto k) { return Decode<decltype(k)>(bytes, length, out); });
}

std::size_t Utf8Length(const unsigned int* codePoints, std::size_t count) {
    return blocks::Count<Utf8Sse2>(codePoints, count);
}

std::size_t EncodeUtf8AsciiPrefix(const unsigned int* codePoints, std::size_t count, char* out,
                                  Kernel kernel) {
    Byte* const bytes = reinterpret_cast<Byte*>(out);
    return blocks::WithKernel<Utf8Portable, Utf8Sse2>(kernel, [&](auto k) {
        return blocks::EncodeNarrowPrefix<decltype(k)>(codePoints, count, bytes);
    });
}

std::size_t EncodeUtf8(const unsigned int* codePoints, std::size_t count, char* out,
                       Kernel kernel) {
    Byte* const bytes = reinterpret_cast<Byte*>(out);
    return blocks::WithKernel<Utf8Portable, Utf8Sse2>(
        kernel, [&](auto k) { return blocks::Encode<decltype(k)>(codePoints, count, bytes); });
}

}  // namespace qz::common::utf
