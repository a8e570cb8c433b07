#include "common/Utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz::common::utf {
namespace {

using Byte = unsigned char;

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
            if (value < 0x10000 || value > 0x10FFFD) {
                return kInvalid;
            }
            *o++ = value;
            p += 4;
        }
    }
    return static_cast<std::size_t>(o - out);
}

// Converts whole blocks of code points below U+0080 to bytes and returns how many it converted,
// stopping at the first block holding another value.
template <Kernel K>
std::size_t EncodeAsciiBlocks(const unsigned int* in, std::size_t count, char* out);

template <>
std::size_t EncodeAsciiBlocks<Kernel::kPortable>(const unsigned int* in, std::size_t count,
                                                 char* out) {
    std::size_t done = 0;
    while (count - done >= 8) {
        const unsigned int* const block = in + done;
        unsigned int any = 0;
        for (int i = 0; i < 8; ++i) {
            any |= block[i];
        }
        if (any >= 0x80) {
            break;
        }
        for (int i = 0; i < 8; ++i) {
            out[done + i] = static_cast<char>(block[i]);
        }
        done += 8;
    }
    return done;
}

#if defined(__SSE2__)
template <>
std::size_t EncodeAsciiBlocks<Kernel::kSse2>(const unsigned int* in, std::size_t count, char* out) {
    const __m128i notAscii = _mm_set1_epi32(~0x7F);
    const __m128i zero = _mm_setzero_si128();
    std::size_t done = 0;
    while (count - done >= 16) {
        const __m128i* const src = reinterpret_cast<const __m128i*>(in + done);
        const __m128i a = _mm_loadu_si128(src);
        const __m128i b = _mm_loadu_si128(src + 1);
        const __m128i c = _mm_loadu_si128(src + 2);
        const __m128i d = _mm_loadu_si128(src + 3);
        const __m128i high =
            _mm_and_si128(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)), notAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, zero)) != 0xFFFF) {
            break;
        }
        // Values below 0x80 survive both saturating packs unchanged.
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), bytes);
        done += 16;
    }
    return done;
}
#else
template <>
std::size_t EncodeAsciiBlocks<Kernel::kSse2>(const unsigned int* in, std::size_t count, char* out) {
    return EncodeAsciiBlocks<Kernel::kPortable>(in, count, out);
}
#endif

template <Kernel K>
std::size_t EncodeAsciiPrefix(const unsigned int* in, std::size_t count, char* out) {
    std::size_t done = EncodeAsciiBlocks<K>(in, count, out);
    while (done < count && in[done] < 0x80) {
        out[done] = static_cast<char>(in[done]);
        ++done;
    }
    return done;
}

template <Kernel K>
std::size_t Encode(const unsigned int* in, std::size_t count, char* const out) {
    char* o = out;
    std::size_t i = 0;
    while (i < count) {
        const unsigned int c = in[i];
        if (c < 0x80) {
            const std::size_t run = EncodeAsciiPrefix<K>(in + i, count - i, o);
            i += run;
            o += run;
            continue;
        }
        if (c < 0x800) {
            o[0] = static_cast<char>(0xC0 | (c >> 6));
            o[1] = static_cast<char>(0x80 | (c & 0x3F));
            o += 2;
        } else if (c < 0x10000) {
            o[0] = static_cast<char>(0xE0 | (c >> 12));
            o[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            o[2] = static_cast<char>(0x80 | (c & 0x3F));
            o += 3;
        } else if (c <= 0x10FFFF) {
            o[0] = static_cast<char>(0xF0 | (c >> 18));
            o[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            o[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            o[3] = static_cast<char>(0x80 | (c & 0x3F));
            o += 4;
        }
        ++i;
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
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned int c = codePoints[i];
        const std::size_t bytes = 1u + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000);
        total += c <= 0x10FFFF ? bytes : 0;
    }
    return total;
}

std::size_t EncodeUtf8AsciiPrefix(const unsigned int* codePoints, std::size_t count, char* out,
                                  Kernel kernel) {
    return kernel == Kernel::kSse2 ? EncodeAsciiPrefix<Kernel::kSse2>(codePoints, count, out)
                                   : EncodeAsciiPrefix<Kernel::kPortable>(codePoints, count, out);
}

std::size_t EncodeUtf8(const unsigned int* codePoints, std::size_t count, char* out,
                       Kernel kernel) {
    return kernel == Kernel::kSse2 ? Encode<Kernel::kSse2>(codePoints, count, out)
                                   : Encode<Kernel::kPortable>(codePoints, count, out);
}

}  // namespace qz::common::utf
