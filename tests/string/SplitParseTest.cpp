#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/String.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

using Parts = VectorArray<String>;

using Expected = std::vector<std::u32string>;

// The pieces that splitting `text` at `separator` adds to an empty array; nothing when Split
// reports that it added none, in which case the array must have stayed empty.
template <typename Separator>
std::optional<Expected> SplitPieces(const String& text, const Separator& separator) {
    Parts parts;
    if (!text.Split(separator, parts)) {
        EXPECT_EQ(parts.GetSize(), 0u);
        return std::nullopt;
    }
    return PiecesOf(parts);
}

TEST(StringSplitAtChar, KeepsEmptyPieces) {
    EXPECT_EQ(SplitPieces(String("a,,b"), ','), (Expected{U"a", U"", U"b"}));
    EXPECT_EQ(SplitPieces(String(","), ','), (Expected{U"", U""}));
}

TEST(StringSplitAtChar, NoSeparatorAddsNothing) {
    Parts parts;
    parts.Add(String("kept"));
    EXPECT_FALSE(String("abc").Split(',', parts));
    EXPECT_FALSE(String().Split(',', parts));
    EXPECT_EQ(PiecesOf(parts), (Expected{U"kept"}));
}

TEST(StringSplitAtChar, AppendsAndDropsZeros) {
    Parts parts;
    parts.Add(String("kept"));
    EXPECT_TRUE(FromCodePoints({U'a', 0, U';', 0}).Split(';', parts));
    EXPECT_EQ(PiecesOf(parts), (Expected{U"kept", U"a", U""}));
}

TEST(StringSplitAtString, NeverAddsEmptyPieces) {
    EXPECT_EQ(SplitPieces(String(",a,,b,"), String(",")), (Expected{U"a", U"b"}));
    EXPECT_EQ(SplitPieces(String("x::y"), String("::")), (Expected{U"x", U"y"}));
    EXPECT_FALSE(SplitPieces(String(",,,"), String(",")).has_value());
}

TEST(StringSplitAtString, TokenRules) {
    // After a cut the token starts afresh, so the third colon stays with the next piece.
    EXPECT_EQ(SplitPieces(String("a:::b"), String("::")), (Expected{U"a", U":b"}));
    EXPECT_EQ(SplitPieces(String("abc"), String("::")), (Expected{U"abc"}));
    EXPECT_FALSE(SplitPieces(String(), String(",")).has_value());
    Parts before;
    before.Add(String("kept"));
    EXPECT_TRUE(String().Split(String(","), before));  // counts what was there
}

TEST(StringSplitAtString, EmptySeparatorGivesEachCodePoint) {
    EXPECT_EQ(SplitPieces(FromCodePoints({U'a', 0, U'\u00E9'}), String()),
              (Expected{U"a", U"\u00E9"}));
}

TEST(StringTrim, WhiteSpaceAtBothEnds) {
    const String padded = FromCodePoints({0x09, 0x20, 0x3000, 0xA0, U'x', U' ', U'y', 0x2028, 0});
    EXPECT_EQ(CodePointsOf(padded.Trim()), U"x y");
    EXPECT_EQ(String(" \t\r\n ").Trim().GetLength(), 0u);
    EXPECT_EQ(String().Trim().GetLength(), 0u);
    EXPECT_EQ(CodePointsOf(FromCodePoints({U'a', 0, U'b'}).Trim()), U"ab");
    // U+0085 and U+1680 are not white space here.
    EXPECT_EQ(CodePointsOf(FromCodePoints({0x85, U'a', 0x1680}).Trim()), U"\u0085a\u1680");
}

TEST(StringClassify, WhiteSpaceSetExactly) {
    std::vector<unsigned int> white = {0x0,    0x20,   0xA0,   0x180E, 0x2028,
                                       0x2029, 0x202F, 0x205F, 0x3000};
    for (unsigned int c = 0x09; c <= 0x0D; ++c) {
        white.push_back(c);
    }
    for (unsigned int c = 0x2000; c <= 0x200A; ++c) {
        white.push_back(c);
    }
    for (unsigned int c = 0; c <= 0x10000; ++c) {
        const bool expected = std::find(white.begin(), white.end(), c) != white.end();
        ASSERT_EQ(IsWhitespace(c), expected) << std::hex << "U+" << c;
    }
    EXPECT_FALSE(IsWhitespace(0xFFFFFFFF));
    EXPECT_TRUE(FromCodePoints({0x20, 0, 0x3000}).IsWhitespace());
    EXPECT_TRUE(String().IsWhitespace());
    EXPECT_FALSE(String(" a ").IsWhitespace());
}

TEST(StringClassify, Digits) {
    EXPECT_TRUE(IsDigit('0'));
    EXPECT_TRUE(IsDigit('9'));
    EXPECT_FALSE(IsDigit('0' - 1));
    EXPECT_FALSE(IsDigit('9' + 1));
    EXPECT_FALSE(IsDigit(0xFF10));  // fullwidth digit zero
    EXPECT_TRUE(String("0123456789").IsDigits());
    EXPECT_TRUE(String().IsDigits());
    EXPECT_FALSE(String("12a").IsDigits());
    EXPECT_FALSE(String(" 1").IsDigits());
}

TEST(StringCase, OnlyAsciiLettersChange) {
    EXPECT_EQ(CodePointsOf(String("abc-\xC3\xA9").ToUpper()), U"ABC-\u00E9");
    EXPECT_EQ(CodePointsOf(String("AZ@[`{az\xC3\x89").ToLower()), U"az@[`{az\u00C9");
    EXPECT_EQ(CodePointsOf(FromCodePoints({U'a', 0}).ToUpper()), (std::u32string{U'A', 0}));
}

TEST(StringParse, Decimal) {
    EXPECT_EQ(String(" 42 ").ToUInt64(), 42u);
    EXPECT_EQ(String("4 2").ToUInt64(), 0u);
    EXPECT_EQ(String("+1").ToUInt64(), 0u);
    EXPECT_EQ(String("-1").ToUInt64(), 0u);
    EXPECT_EQ(String("0x10").ToUInt64(), 0u);
    EXPECT_EQ(String("").ToUInt64(), 0u);
    EXPECT_EQ(String(" \t").ToUInt64(), 0u);
    EXPECT_EQ(String("18446744073709551615").ToUInt64(), 18446744073709551615ull);
    EXPECT_EQ(String("18446744073709551616").ToUInt64(), 0u);  // wraps modulo 2^64
    EXPECT_EQ(String("18446744073709551617").ToUInt64(), 1u);
    EXPECT_EQ(FromCodePoints({U'4', 0, U'2'}).ToUInt64(), 42u);  // U+0000 is dropped by Trim
}

TEST(StringParse, NarrowResultsAreZeroWhenOutOfRange) {
    EXPECT_EQ(String("4294967295").ToUInt32(), 4294967295u);
    EXPECT_EQ(String("4294967296").ToUInt32(), 0u);
    EXPECT_EQ(String("65535").ToUInt16(), 65535u);
    EXPECT_EQ(String("65536").ToUInt16(), 0u);
    // Range is checked after the 64-bit wrap-around.
    EXPECT_EQ(String("18446744073709551617").ToUInt16(), 1u);
}

TEST(StringParse, Hexadecimal) {
    EXPECT_EQ(String("ff").HexToUInt32(), 255u);
    EXPECT_EQ(String("FF").HexToUInt32(), 255u);
    EXPECT_EQ(String(" 09afAF\t").HexToUInt32(), 0x09AFAFu);
    EXPECT_EQ(String("1FFFFFFFF").HexToUInt32(), 0xFFFFFFFFu);  // wraps modulo 2^32
    EXPECT_EQ(String("fg").HexToUInt32(), 0u);
    EXPECT_EQ(String("0x10").HexToUInt32(), 0u);
    EXPECT_EQ(String("G").HexToUInt32(), 0u);
    EXPECT_EQ(String("@").HexToUInt32(), 0u);
}

}  // namespace
}  // namespace qz::common::testing
