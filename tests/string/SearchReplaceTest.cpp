#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/String.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

constexpr unsigned int kNotFound = 0xFFFFFFFF;

TEST(StringCompare, EqualityIsPerCodePoint) {
    EXPECT_TRUE(String("abc") == String("abc"));
    EXPECT_FALSE(String("abc") == String("abd"));
    EXPECT_FALSE(String("ab") == FromCodePoints({U'a', U'b', 0}));
    EXPECT_TRUE(String("ab") != String("abc"));
    EXPECT_FALSE(String() != String());
}

TEST(StringCompare, OrderIsLexicographicWithPrefixesFirst) {
    EXPECT_TRUE(String("ab") < String("abc"));
    EXPECT_TRUE(String("abc") < String("abd"));
    EXPECT_FALSE(String("abc") < String("ab"));
    EXPECT_FALSE(String() < String());
    EXPECT_FALSE(String("a") < String());
    EXPECT_TRUE(String() < String("a"));
    // Unsigned comparison: a widened char sorts after every decoded character.
    EXPECT_TRUE(FromCodePoints({0x10FFFD}) < FromCodePoints({0xFFFFFFE9}));
}

TEST(StringCompare, StartsWithAndEndsWith) {
    const String text("hello");
    EXPECT_TRUE(text.StartsWith(String("he")));
    EXPECT_TRUE(text.StartsWith(String()));
    EXPECT_TRUE(text.StartsWith(text));
    EXPECT_FALSE(text.StartsWith(String("hello!")));
    EXPECT_TRUE(text.EndsWith(String("llo")));
    EXPECT_TRUE(text.EndsWith(String()));
    EXPECT_FALSE(text.EndsWith(String("he")));
    EXPECT_TRUE(String().EndsWith(String()));
}

TEST(StringFind, Patterns) {
    const String hello("hello");
    EXPECT_EQ(hello.Find(String("lo")), 3u);
    EXPECT_EQ(hello.Find(String("lo"), 4), kNotFound);
    EXPECT_EQ(hello.Find(String("l"), 3), 3u);
    EXPECT_EQ(hello.Find(String("hello!")), kNotFound);
    EXPECT_EQ(hello.Find(String()), kNotFound);
    EXPECT_EQ(hello.Find(String("h"), 5), kNotFound);
    EXPECT_EQ(String().Find(String()), kNotFound);
}

TEST(StringFind, Characters) {
    EXPECT_EQ(String("abc").FindLast('a'), 0u);
    EXPECT_EQ(String("banana").FindLast('a'), 5u);
    EXPECT_EQ(String("xyz").FindLast('a'), kNotFound);
    EXPECT_EQ(String().FindLast('a'), kNotFound);
    EXPECT_EQ(String("banana").Find('a'), 1u);
    EXPECT_EQ(String("banana").Find('a', 2), 3u);
    EXPECT_EQ(String("banana").Find('a', 6), kNotFound);
    EXPECT_EQ(String().Find('a'), kNotFound);
    // Bytes above 0x7F are widened with their sign and match no decoded character...
    EXPECT_EQ(String("\xC3\xA9").Find(static_cast<char>(0xE9)), kNotFound);
    // ...but do match a widened char appended earlier.
    String widened("x");
    widened.Append(static_cast<char>(0xE9));
    EXPECT_EQ(widened.Find(static_cast<char>(0xE9)), 1u);
    EXPECT_EQ(widened.FindLast(static_cast<char>(0xE9)), 1u);
}

TEST(StringReplace, FirstOccurrenceOnly) {
    String text("Code __REPLACE__.");
    EXPECT_TRUE(text.ReplaceFirst(String("__REPLACE__"), String("2")));
    EXPECT_STREQ(text.GetUtf8(), "Code 2.");
    EXPECT_FALSE(text.ReplaceFirst(String("__REPLACE__"), String("2")));
    EXPECT_STREQ(text.GetUtf8(), "Code 2.");

    String twice("a-b-c");
    EXPECT_TRUE(twice.ReplaceFirst(String("-"), String("+++")));
    EXPECT_STREQ(twice.GetUtf8(), "a+++b-c");
    EXPECT_TRUE(twice.ReplaceFirst(String("+++"), String()));
    EXPECT_STREQ(twice.GetUtf8(), "ab-c");
    EXPECT_FALSE(twice.ReplaceFirst(String("ab-cd"), String("x")));
}

TEST(StringReplace, EmptyPatternInsertsAtTheStart) {
    String text("abc");
    EXPECT_TRUE(text.ReplaceFirst(String(), String("<>")));
    EXPECT_STREQ(text.GetUtf8(), "<>abc");
    String empty;
    EXPECT_TRUE(empty.ReplaceFirst(String(), String("x")));
    EXPECT_STREQ(empty.GetUtf8(), "x");
}

TEST(StringReplace, ItselfAsPatternOrReplacement) {
    String text("ab");
    EXPECT_TRUE(text.ReplaceFirst(String("b"), text));
    EXPECT_STREQ(text.GetUtf8(), "aab");
    EXPECT_TRUE(text.ReplaceFirst(text, String("z")));
    EXPECT_STREQ(text.GetUtf8(), "z");
    EXPECT_TRUE(text.ReplaceAll(text, text));
    EXPECT_STREQ(text.GetUtf8(), "z");
}

// Whether `ReplaceAll` reported a change, and the text after it as UTF-8.
using Replaced = std::pair<bool, std::string>;

Replaced ReplaceAllIn(const char* text, const char* pattern, const char* replacement) {
    String result(text);
    const bool changed = result.ReplaceAll(String(pattern), String(replacement));
    return {changed, result.GetUtf8()};
}

Replaced Changed(const char* text) {
    return {true, text};
}

Replaced Unchanged(const char* text) {
    return {false, text};
}

TEST(StringReplaceAll, ReplacesUntilNoneIsLeft) {
    EXPECT_EQ(ReplaceAllIn("aXa", "a", "b"), Changed("bXb"));
    EXPECT_EQ(ReplaceAllIn("XYZ", "a", "b"), Unchanged("XYZ"));
    // Each round searches from the start again, so text that a replacement completes is
    // replaced too.
    EXPECT_EQ(ReplaceAllIn("aab", "ab", "b"), Changed("b"));
    EXPECT_EQ(ReplaceAllIn("bba", "ba", "aab"), Changed("aaaabb"));
}

// Both used to loop for ever.
TEST(StringReplaceAll, EmptyPatternReplacesNothing) {
    EXPECT_EQ(ReplaceAllIn("abc", "", "x"), Unchanged("abc"));
    EXPECT_EQ(ReplaceAllIn("", "", "x"), Unchanged(""));
}

TEST(StringReplaceAll, ReplacementHoldingThePatternReplacesEachOriginalOnce) {
    EXPECT_EQ(ReplaceAllIn("a.a.", "a", "aa"), Changed("aa.aa."));
    EXPECT_EQ(ReplaceAllIn("x/y/z", "/", "//"), Changed("x//y//z"));
    // The search goes on after the inserted text, so the pattern inside it stays.
    EXPECT_EQ(ReplaceAllIn("abab", "ab", "xab"), Changed("xabxab"));
    EXPECT_EQ(ReplaceAllIn("same", "same", "same"), Changed("same"));
    EXPECT_EQ(ReplaceAllIn("bbb", "a", "aa"), Unchanged("bbb"));
}

TEST(StringSubstring, RangesAndZeros) {
    const String hello("hello");
    EXPECT_STREQ(hello.Substring(2, 100).GetUtf8(), "llo");
    EXPECT_STREQ(hello.Substring(1, 3).GetUtf8(), "el");
    EXPECT_EQ(hello.Substring(5).GetLength(), 0u);
    EXPECT_EQ(hello.Substring(3, 3).GetLength(), 0u);
    EXPECT_EQ(hello.Substring(6, 9).GetLength(), 0u);
    EXPECT_EQ(hello.Substring(4, 2).GetLength(), 0u);
    EXPECT_STREQ(hello.Substring(0).GetUtf8(), "hello");
    EXPECT_EQ(CodePointsOf(FromCodePoints({0, U'a', 0, U'b', 0}).Substring(0)), U"ab");
}

}  // namespace
}  // namespace qz::common::testing
