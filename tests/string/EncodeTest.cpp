#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/String.h"
#include "tests/string/ReferenceUtf.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

struct Encoded {
    const char* label;
    unsigned int codePoint;
    std::string utf8;
    std::u16string utf16;
};

// The address points at the bytes followed by a 0, so the length has to come from outside.
std::string Utf8Of(String& text, size_t length) {
    return std::string(text.GetUtf8(), length);
}

std::u16string Utf16Of(String& text) {
    const unsigned short* units = text.GetUtf16();
    std::u16string result;
    while (*units != 0) {
        result += static_cast<char16_t>(*units++);
    }
    return result;
}

TEST(Encode, EachLengthAtItsLimits) {
    const std::vector<Encoded> cases = {
        {"U+0001", 0x0001, Bytes({0x01}), {0x0001}},
        {"U+007F", 0x007F, Bytes({0x7F}), {0x007F}},
        {"U+0080", 0x0080, Bytes({0xC2, 0x80}), {0x0080}},
        {"U+07FF", 0x07FF, Bytes({0xDF, 0xBF}), {0x07FF}},
        {"U+0800", 0x0800, Bytes({0xE0, 0xA0, 0x80}), {0x0800}},
        {"U+D800 (surrogate value)", 0xD800, Bytes({0xED, 0xA0, 0x80}), {0xD800}},
        {"U+FFFF", 0xFFFF, Bytes({0xEF, 0xBF, 0xBF}), {0xFFFF}},
        {"U+10000", 0x10000, Bytes({0xF0, 0x90, 0x80, 0x80}), {0xD800, 0xDC00}},
        {"U+1F600", 0x1F600, Bytes({0xF0, 0x9F, 0x98, 0x80}), {0xD83D, 0xDE00}},
        {"U+10FFFF", 0x10FFFF, Bytes({0xF4, 0x8F, 0xBF, 0xBF}), {0xDBFF, 0xDFFF}},
        {"U+110000 (skipped)", 0x110000, "", u""},
        {"0xFFFFFFE9 (a widened char, skipped)", 0xFFFFFFE9, "", u""},
    };
    for (const Encoded& c : cases) {
        SCOPED_TRACE(c.label);
        String text;
        text.Append(c.codePoint);
        EXPECT_EQ(text.GetLength(), 1u);
        EXPECT_EQ(std::string(text.GetUtf8()), c.utf8);
        EXPECT_EQ(Utf16Of(text), c.utf16);
    }
}

TEST(Encode, EmptyStringGivesATerminatorOnly) {
    String text;
    EXPECT_EQ(text.GetUtf8()[0], '\0');
    EXPECT_EQ(text.GetUtf16()[0], 0);
}

TEST(Encode, StoredZeroBecomesAZeroUnit) {
    const String text = FromCodePoints({U'a', 0, U'b'});
    String copy(text);
    EXPECT_EQ(Utf8Of(copy, 4), std::string("a\0b\0", 4));
    const unsigned short* units = copy.GetUtf16();
    EXPECT_EQ(units[0], u'a');
    EXPECT_EQ(units[1], 0);
    EXPECT_EQ(units[2], u'b');
    EXPECT_EQ(units[3], 0);
}

TEST(Encode, OutputBuffersAreRebuiltOnEachCall) {
    String text("abc");
    const char* utf8 = text.GetUtf8();
    const unsigned short* utf16 = text.GetUtf16();
    text.Append(String("\xC3\xA9"));
    // Changing the text leaves the earlier results alone...
    EXPECT_STREQ(utf8, "abc");
    EXPECT_EQ(utf16[3], 0);
    // ...and the next conversion sees the change.
    EXPECT_STREQ(text.GetUtf8(), "abc\xC3\xA9");
    EXPECT_EQ(Utf16Of(text), u"abc\u00E9");
    text.Clear();
    EXPECT_STREQ(text.GetUtf8(), "");
    EXPECT_EQ(Utf16Of(text), u"");
}

TEST(Encode, DecodingItsOwnOutputGivesTheSameText) {
    String text("h\xC3\xA9llo \xF0\x9F\x98\x80");
    const String original(text);
    EXPECT_TRUE(text.SetUtf8(text.GetUtf8(), 0xFFFFFFFF));
    EXPECT_TRUE(text == original);
    EXPECT_TRUE(text.SetUtf16(text.GetUtf16(), 0xFFFFFFFF));
    EXPECT_TRUE(text == original);
}

TEST(Encode, CopiesDoNotShareOutputBuffers) {
    String original("first");
    const char* before = original.GetUtf8();
    String copy(original);
    copy.Append(String(" and more"));
    EXPECT_STREQ(copy.GetUtf8(), "first and more");
    EXPECT_STREQ(before, "first");
    EXPECT_STREQ(original.GetUtf8(), "first");
}

// Random code points of every encoded length, every length of text, including values that the
// encoders skip and the decoders refuse.
std::u32string RandomCodePoints(std::mt19937& random, size_t length, bool onlyDecodable) {
    static const unsigned int kRanges[][2] = {{0x01, 0x7F},         {0x80, 0x7FF},
                                              {0x800, 0xFFFF},      {0x10000, 0x10FFFD},
                                              {0x10FFFE, 0x10FFFF}, {0x110000, 0xFFFFFFFF}};
    std::u32string result;
    const int ranges = onlyDecodable ? 4 : 6;
    while (result.size() < length) {
        const auto& range = kRanges[random() % ranges];
        const unsigned int value = range[0] + random() % (range[1] - range[0] + 1);
        if (onlyDecodable && value >= 0xD800 && value <= 0xDFFF) {
            continue;  // no UTF-16 form
        }
        result += static_cast<char32_t>(value);
    }
    return result;
}

TEST(Encode, MatchesTheReferenceOnRandomText) {
    std::mt19937 random(7);
    for (size_t length = 0; length < 200; ++length) {
        const std::u32string codePoints = RandomCodePoints(random, length, false);
        String text = FromCodePoints(codePoints);
        const std::string utf8 = ReferenceEncodeUtf8(codePoints);
        ASSERT_EQ(Utf8Of(text, utf8.size() + 1), utf8 + '\0') << "length " << length;
        ASSERT_EQ(Utf16Of(text), ReferenceEncodeUtf16(codePoints)) << "length " << length;
    }
}

TEST(RoundTrip, DecodableTextComesBackUnchanged) {
    std::mt19937 random(11);
    for (size_t length = 0; length < 300; ++length) {
        const std::u32string codePoints = RandomCodePoints(random, length, true);
        String text = FromCodePoints(codePoints);
        const String fromUtf8(text.GetUtf8());
        const String fromUtf16(text.GetUtf16());
        ASSERT_EQ(CodePointsOf(fromUtf8), codePoints) << "length " << length;
        ASSERT_EQ(CodePointsOf(fromUtf16), codePoints) << "length " << length;
    }
}

TEST(RoundTrip, ExamplesBothWays) {
    const std::u16string pair = {0xD83D, 0xDE00};
    String emoji(Units(pair), 2);
    EXPECT_EQ(CodePointsOf(emoji), U"\U0001F600");
    EXPECT_EQ(Utf16Of(emoji), pair);
    String wide;
    wide.Append(0xFF01u);
    EXPECT_EQ(Utf16Of(wide), u"\uFF01");
    EXPECT_EQ(CodePointsOf(String(wide.GetUtf16())), U"\uFF01");
    String surrogate("\xED\xA0\x80");
    EXPECT_STREQ(surrogate.GetUtf8(), "\xED\xA0\x80");
}

}  // namespace
}  // namespace qz::common::testing
