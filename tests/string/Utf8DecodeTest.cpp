#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/String.h"
#include "tests/string/DecodeCases.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

using Accepted = AcceptedCase<std::string>;
using Rejected = RejectedCase<std::string>;

TEST(Utf8Decode, FirstAndLastSequenceOfEachLength) {
    const std::vector<Accepted> cases = {
        {"U+0001", Bytes({0x01}), U"\U00000001"},
        {"U+007F", Bytes({0x7F}), U"\U0000007F"},
        {"U+0080", Bytes({0xC2, 0x80}), U"\U00000080"},
        {"U+07FF", Bytes({0xDF, 0xBF}), U"\U000007FF"},
        {"U+0800", Bytes({0xE0, 0xA0, 0x80}), U"\U00000800"},
        {"U+FFFF", Bytes({0xEF, 0xBF, 0xBF}), U"\U0000FFFF"},
        {"U+10000", Bytes({0xF0, 0x90, 0x80, 0x80}), U"\U00010000"},
        {"U+10FFFD", Bytes({0xF4, 0x8F, 0xBF, 0xBD}), U"\U0010FFFD"},
    };
    for (const Accepted& c : cases) {
        ExpectAccepted(c);
    }
}

TEST(Utf8Decode, CommonCharacters) {
    const std::vector<Accepted> cases = {
        {"U+00E9", Bytes({0xC3, 0xA9}), U"\u00E9"},
        {"U+20AC", Bytes({0xE2, 0x82, 0xAC}), U"\u20AC"},
        {"U+1F600", Bytes({0xF0, 0x9F, 0x98, 0x80}), U"\U0001F600"},
        {"U+0041 U+00E9 U+0416 U+4E2D U+1F600",
         Bytes({0x41, 0xC3, 0xA9, 0xD0, 0x96, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80}),
         U"A\u00E9\u0416\u4E2D\U0001F600"},
    };
    for (const Accepted& c : cases) {
        ExpectAccepted(c);
    }
}

// Stored files and callers rely on these being accepted.
TEST(Utf8Decode, AcceptedQuirks) {
    const std::vector<Accepted> cases = {
        {"U+D800 (surrogate value, three bytes)", Bytes({0xED, 0xA0, 0x80}), {0xD800}},
        {"U+DFFF (surrogate value, three bytes)", Bytes({0xED, 0xBF, 0xBF}), {0xDFFF}},
        {"U+00E9 from C3 E9 (only the top bit is tested)", Bytes({0xC3, 0xE9}), U"\u00E9"},
        {"U+0080 from C2 C0", Bytes({0xC2, 0xC0}), U"\u0080"},
        {"U+0FFF from E0 FF FF", Bytes({0xE0, 0xFF, 0xFF}), U"\u0FFF"},
        {"U+1FFFF from F0 DF FF FF", Bytes({0xF0, 0xDF, 0xFF, 0xFF}), U"\U0001FFFF"},
        {"U+0000 inside an explicit length", Bytes({0x61, 0x00, 0x62}), {0x61, 0, 0x62}},
    };
    for (const Accepted& c : cases) {
        ExpectAccepted(c);
    }
}

TEST(Utf8Decode, OverlongFormsAreRejected) {
    const std::vector<Rejected> cases = {
        {"U+002F as C0 AF", Bytes({0xC0, 0xAF})},
        {"U+007F as C1 BF", Bytes({0xC1, 0xBF})},
        {"U+0000 as C0 80", Bytes({0xC0, 0x80})},
        {"U+002F as E0 80 AF", Bytes({0xE0, 0x80, 0xAF})},
        {"U+07FF as E0 9F BF", Bytes({0xE0, 0x9F, 0xBF})},
        {"U+002F as F0 80 80 AF", Bytes({0xF0, 0x80, 0x80, 0xAF})},
        {"U+FFFF as F0 8F BF BF", Bytes({0xF0, 0x8F, 0xBF, 0xBF})},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
    }
}

TEST(Utf8Decode, ValuesAboveU10FFFDAreRejected) {
    const std::vector<Rejected> cases = {
        {"U+10FFFE", Bytes({0xF4, 0x8F, 0xBF, 0xBE})},
        {"U+10FFFF", Bytes({0xF4, 0x8F, 0xBF, 0xBF})},
        {"U+110000", Bytes({0xF4, 0x90, 0x80, 0x80})},
        {"U+140000 (lead F5)", Bytes({0xF5, 0x80, 0x80, 0x80})},
        {"lead F8", Bytes({0xF8, 0x88, 0x80, 0x80, 0x80})},
        {"lead FF", Bytes({0xFF})},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
    }
}

TEST(Utf8Decode, UnexpectedOrMissingContinuationBytesAreRejected) {
    const std::vector<Rejected> cases = {
        {"lone 80", Bytes({0x80})},
        {"lone BF", Bytes({0xBF})},
        {"U+00E9 then a stray 80", Bytes({0xC3, 0xA9, 0x80})},
        {"C3 then U+0041", Bytes({0xC3, 0x41})},
        {"E2 41 AC (U+20AC broken)", Bytes({0xE2, 0x41, 0xAC})},
        {"E2 82 41 (U+20AC broken)", Bytes({0xE2, 0x82, 0x41})},
        {"F0 9F 41 80 (U+1F600 broken)", Bytes({0xF0, 0x9F, 0x41, 0x80})},
        {"C3 00 (U+00E9 broken by a 0 byte inside the length)", Bytes({0xC3, 0x00})},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
    }
}

TEST(Utf8Decode, TruncatedSequencesAreRejected) {
    // Padding follows the truncated sequence, so only the bare cases end the input; the
    // padded ones check that ASCII cannot complete a sequence.
    const std::vector<Rejected> cases = {
        {"U+00E9 without its last byte", Bytes({0xC3})},
        {"U+20AC without its last byte", Bytes({0xE2, 0x82})},
        {"U+20AC without its last two bytes", Bytes({0xE2})},
        {"U+1F600 without its last byte", Bytes({0xF0, 0x9F, 0x98})},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
        String text;
        EXPECT_FALSE(text.SetUtf8(c.units.data(), static_cast<unsigned int>(c.units.size())))
            << c.label;
    }
    // An explicit length that ends inside a sequence.
    String text;
    EXPECT_FALSE(text.SetUtf8("\xF0\x9F\x98\x80", 3));
    EXPECT_TRUE(text.SetUtf8("\xF0\x9F\x98\x80", 4));
    EXPECT_EQ(CodePointsOf(text), U"\U0001F600");
}

TEST(Utf8Decode, LengthUpToTheTerminatorOrExplicit) {
    const char bytes[] = {'a', '\0', 'b', '\0'};
    String text;
    EXPECT_TRUE(text.SetUtf8(bytes, 3));
    EXPECT_EQ(CodePointsOf(text), (std::u32string{U'a', 0, U'b'}));
    EXPECT_TRUE(text.SetUtf8(bytes, 0xFFFFFFFF));
    EXPECT_EQ(CodePointsOf(text), U"a");
    EXPECT_TRUE(text.SetUtf8(bytes, 0));
    EXPECT_EQ(text.GetLength(), 0u);
    EXPECT_EQ(String(bytes, 3).GetLength(), 3u);
    EXPECT_EQ(String(bytes).GetLength(), 1u);
    EXPECT_EQ(String(std::string(bytes, 3)).GetLength(), 3u);
}

TEST(Utf8Decode, NullTextEmptiesAndSucceeds) {
    String text("abc");
    EXPECT_TRUE(text.SetUtf8(nullptr, 5));
    EXPECT_EQ(text.GetLength(), 0u);
    text = String("abc");
    EXPECT_TRUE(text.SetUtf8(nullptr, 0xFFFFFFFF));
    EXPECT_EQ(text.GetLength(), 0u);
    EXPECT_EQ(String(static_cast<const char*>(nullptr)).GetLength(), 0u);
}

TEST(Utf8Decode, ConstructorsDropTheFailure) {
    EXPECT_EQ(String("ok\xC0\xAF").GetLength(), 0u);
    EXPECT_EQ(String(std::string("ok\x80")).GetLength(), 0u);
}

}  // namespace
}  // namespace qz::common::testing
