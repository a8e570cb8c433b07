#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/Utf16.h"
#include "common/Utf8.h"
#include "tests/string/ReferenceUtf.h"

// The block routines must give exactly what the byte-at-a-time reference gives, for every
// kernel the target has, whatever the length of the input and the alignment of the buffers.
namespace qz::common::testing {
namespace {

using utf::Kernel;

std::vector<Kernel> Kernels() {
    std::vector<Kernel> kernels = {Kernel::kPortable};
    if (utf::kHasSse2) {
        kernels.push_back(Kernel::kSse2);
    }
    return kernels;
}

const char* Name(Kernel kernel) {
    return kernel == Kernel::kSse2 ? "sse2" : "portable";
}

constexpr size_t kMaxLength = 70;  // a few blocks of every kernel, plus a tail
constexpr size_t kAlignments = 16;

// Mostly ASCII, so that runs of every length reach the block routines, with every kind of
// sequence mixed in; `broken` adds bytes that make most inputs malformed.
std::string RandomUtf8(std::mt19937& random, size_t length, bool broken) {
    static const std::vector<std::string> kPieces = {
        "\xC3\xA9", "\xD0\x96", "\xE4\xB8\xAD", "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\xC3\xE9"};
    static const std::string kBroken[] = {"\x80", "\xC0", "\xF5", "\xE2\x82", "\xF4\x8F\xBF\xBF"};
    std::string bytes;
    while (bytes.size() < length) {
        const unsigned int pick = random() % 100;
        if (pick < 80) {
            bytes += static_cast<char>(random() % 0x80);
        } else if (broken && pick < 83) {
            bytes += kBroken[random() % 5];
        } else {
            bytes += kPieces[random() % kPieces.size()];
        }
    }
    bytes.resize(length);  // may cut a sequence: truncated input
    return bytes;
}

std::u16string RandomUtf16(std::mt19937& random, size_t length, bool broken) {
    std::u16string units;
    while (units.size() < length) {
        const unsigned int pick = random() % 100;
        if (pick < 70) {
            units += static_cast<char16_t>(random() % 0x80);
        } else if (pick < 85) {
            units += static_cast<char16_t>(0xE000 + random() % 0x2000);
        } else if (broken && pick < 88) {
            units += static_cast<char16_t>(0xD800 + random() % 0x800);
        } else {
            units += static_cast<char16_t>(0xD800 + random() % 0x400);
            units += static_cast<char16_t>(0xDC00 + random() % 0x400);
        }
    }
    units.resize(length);
    return units;
}

std::u32string RandomCodePoints(std::mt19937& random, size_t length) {
    std::u32string result;
    for (size_t i = 0; i < length; ++i) {
        const unsigned int pick = random() % 100;
        if (pick < 75) {
            result += static_cast<char32_t>(random() % 0x80);
        } else if (pick < 85) {
            result += static_cast<char32_t>(0x80 + random() % 0xFF80);
        } else if (pick < 95) {
            result += static_cast<char32_t>(0x10000 + random() % 0x100000);
        } else {
            result += static_cast<char32_t>(0x10FFF0 + random() % 0x40);  // around the limit
        }
    }
    return result;
}

// Decodes random text (`randomText(random, length, broken)`) of every length, from every byte
// alignment of the input and several alignments of the output, with each kernel, and compares
// the result with the reference.
template <typename Unit, typename RandomText, typename Decoder, typename Reference>
void ExpectDecoderMatchesReference(unsigned int seed, RandomText randomText, Decoder decode,
                                   Reference reference) {
    using Text = std::basic_string<Unit>;
    std::mt19937 random(seed);
    for (const Kernel kernel : Kernels()) {
        for (size_t length = 0; length <= kMaxLength; ++length) {
            for (size_t align = 0; align < kAlignments / sizeof(Unit); ++align) {
                const Text text = randomText(random, length, (align & 3) == 3);
                const Text buffer = Text(align, static_cast<Unit>(-1)) + text;
                std::vector<unsigned int> out(length + kAlignments);
                const size_t count =
                    decode(buffer.data() + align, length, out.data() + align % 4, kernel);
                const auto expected = reference(text);
                ASSERT_EQ(count != utf::kInvalid, expected.has_value())
                    << Name(kernel) << " length " << length << " align " << align;
                if (expected) {
                    ASSERT_EQ(
                        std::u32string(out.begin() + align % 4, out.begin() + align % 4 + count),
                        *expected)
                        << Name(kernel) << " length " << length << " align " << align;
                }
            }
        }
    }
}

TEST(KernelDifferential, Utf8DecodeAllLengthsAndAlignments) {
    ExpectDecoderMatchesReference<char>(1, RandomUtf8, utf::DecodeUtf8, ReferenceDecodeUtf8);
}

TEST(KernelDifferential, Utf8DecodeAsciiWithOneOtherByteAtEachPosition) {
    for (const Kernel kernel : Kernels()) {
        for (size_t length = 1; length <= kMaxLength; ++length) {
            for (size_t at = 0; at < length; ++at) {
                for (const char other : {'\x80', '\xC3', '\xFF'}) {
                    std::string bytes(length, 'a');
                    bytes[at] = other;
                    std::vector<unsigned int> out(length);
                    ASSERT_EQ(utf::DecodeUtf8(bytes.data(), length, out.data(), kernel),
                              utf::kInvalid)
                        << Name(kernel) << " length " << length << " at " << at;
                }
                std::string bytes(length, 'a');
                bytes.insert(at, "\xC3\xA9");
                std::vector<unsigned int> out(bytes.size());
                ASSERT_EQ(utf::DecodeUtf8(bytes.data(), bytes.size(), out.data(), kernel),
                          length + 1);
                ASSERT_EQ(out[at], 0xE9u) << Name(kernel) << " length " << length;
                ASSERT_EQ(out[length], static_cast<unsigned int>('a'));
            }
        }
    }
}

TEST(KernelDifferential, Utf16DecodeAllLengthsAndAlignments) {
    const auto decode = [](const char16_t* units, size_t length, unsigned int* out, Kernel kernel) {
        return utf::DecodeUtf16(reinterpret_cast<const unsigned short*>(units), length, out,
                                kernel);
    };
    ExpectDecoderMatchesReference<char16_t>(2, RandomUtf16, decode, ReferenceDecodeUtf16);
}

TEST(KernelDifferential, Utf16DecodeBmpWithOneSurrogateAtEachPosition) {
    for (const Kernel kernel : Kernels()) {
        for (size_t length = 1; length <= kMaxLength; ++length) {
            for (size_t at = 0; at < length; ++at) {
                for (const char16_t surrogate : {u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'}) {
                    std::u16string units(length, u'\xF000');
                    units[at] = surrogate;
                    std::vector<unsigned int> out(length);
                    ASSERT_EQ(
                        utf::DecodeUtf16(reinterpret_cast<const unsigned short*>(units.data()),
                                         length, out.data(), kernel),
                        utf::kInvalid)
                        << Name(kernel) << " length " << length << " at " << at;
                }
            }
        }
    }
}

TEST(KernelDifferential, EncodersAllLengthsAndAlignments) {
    std::mt19937 random(3);
    for (const Kernel kernel : Kernels()) {
        for (size_t length = 0; length <= kMaxLength; ++length) {
            for (size_t align = 0; align < 4; ++align) {
                std::u32string codePoints = RandomCodePoints(random, length);
                if (align == 0) {  // pure ASCII, so whole blocks are taken
                    for (char32_t& c : codePoints) {
                        c &= 0x7F;
                    }
                }
                std::vector<unsigned int> input(align);
                input.insert(input.end(), codePoints.begin(), codePoints.end());
                const unsigned int* const in = input.data() + align;

                const std::string utf8 = ReferenceEncodeUtf8(codePoints);
                ASSERT_EQ(utf::Utf8Length(in, length), utf8.size());
                std::string out8(align + utf8.size() + utf::kUtf8EncodeSlack, '\0');
                ASSERT_EQ(utf::EncodeUtf8(in, length, &out8[align], kernel), utf8.size());
                ASSERT_EQ(out8.substr(align, utf8.size()), utf8)
                    << Name(kernel) << " length " << length;
                size_t ascii = 0;
                while (ascii < length && codePoints[ascii] < 0x80) {
                    ++ascii;
                }
                std::string prefix(length, '\0');
                ASSERT_EQ(utf::EncodeUtf8AsciiPrefix(in, length, prefix.data(), kernel), ascii);
                ASSERT_EQ(prefix.substr(0, ascii), utf8.substr(0, ascii));

                const std::u16string utf16 = ReferenceEncodeUtf16(codePoints);
                ASSERT_EQ(utf::Utf16Length(in, length), utf16.size());
                std::vector<unsigned short> out16(align + utf16.size() + utf::kUtf16EncodeSlack);
                ASSERT_EQ(utf::EncodeUtf16(in, length, out16.data() + align, kernel), utf16.size());
                ASSERT_EQ(
                    std::u16string(out16.begin() + align, out16.begin() + align + utf16.size()),
                    utf16)
                    << Name(kernel) << " length " << length;
                size_t bmp = 0;
                while (bmp < length && codePoints[bmp] < 0x10000) {
                    ++bmp;
                }
                std::vector<unsigned short> prefix16(length);
                ASSERT_EQ(utf::EncodeUtf16BmpPrefix(in, length, prefix16.data(), kernel), bmp);
                ASSERT_EQ(std::u16string(prefix16.begin(), prefix16.begin() + bmp),
                          utf16.substr(0, bmp));
            }
        }
    }
}

}  // namespace
}  // namespace qz::common::testing
