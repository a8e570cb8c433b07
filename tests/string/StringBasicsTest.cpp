#include <gtest/gtest.h>

#include <string>

#include "common/String.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

TEST(StringValue, CopyAndAssignmentCopyTheCodePoints) {
    const String original = FromCodePoints({U'a', 0, 0x110000});
    String copy(original);
    EXPECT_EQ(CodePointsOf(copy), CodePointsOf(original));
    String assigned("other");
    assigned = original;
    EXPECT_EQ(CodePointsOf(assigned), CodePointsOf(original));
    copy.Append(0x78u);
    EXPECT_EQ(original.GetLength(), 3u);  // no sharing
}

TEST(StringValue, SelfAssignmentKeepsTheText) {
    String text("keep me");
    String& alias = text;
    text = alias;
    EXPECT_STREQ(text.GetUtf8(), "keep me");
}

TEST(StringValue, AssignmentLeavesTheOutputBuffersAlone) {
    String text("before");
    const char* utf8 = text.GetUtf8();
    text = String("after");
    EXPECT_STREQ(utf8, "before");
    EXPECT_STREQ(text.GetUtf8(), "after");
}

TEST(StringValue, GetAtOfAnEmptyStringIsZeroForAnyIndex) {
    const String empty;
    EXPECT_EQ(empty.GetAt(0), 0u);
    EXPECT_EQ(empty.GetAt(0xFFFFFFFF), 0u);
    EXPECT_EQ(String("ab").GetAt(1), static_cast<unsigned int>('b'));
}

TEST(StringValueDeathTest, GetAtBeyondTheEndOfATextEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const String text("ab");
    EXPECT_DEATH(text.GetAt(2), "");
}

TEST(StringAppend, AppendsAllCodePointsZerosIncluded) {
    String text("ab");
    text.Append(FromCodePoints({0, U'c'}));
    EXPECT_EQ(CodePointsOf(text), (std::u32string{U'a', U'b', 0, U'c'}));
    EXPECT_EQ(&text.Append(String()), &text);
}

TEST(StringAppend, AppendingItselfDoublesIt) {
    String text("abc");
    text.Append(text);
    EXPECT_STREQ(text.GetUtf8(), "abcabc");
    text.Append(text).Append(text);
    EXPECT_EQ(text.GetLength(), 24u);
}

TEST(StringAppend, SingleCodePointsSkipZero) {
    String text;
    text.Append(0x41u).Append(0u).Append(0x110000u);
    EXPECT_EQ(CodePointsOf(text), (std::u32string{U'A', 0x110000}));
    EXPECT_STREQ(text.GetUtf8(), "A");
}

TEST(StringAppend, CharsAreWidenedWithTheirSign) {
    String text;
    const char a = 0x41;
    const char zero = 0;
    const char e = static_cast<char>(0xE9);
    text.Append(a).Append(zero).Append(e);
    EXPECT_EQ(CodePointsOf(text), (std::u32string{U'A', 0xFFFFFFE9}));
    EXPECT_STREQ(text.GetUtf8(), "A");  // the widened byte has no encoding
}

TEST(StringAppend, NumbersAsTheCLibraryFormatsThem) {
    String text("n=");
    const unsigned int seven = 7;
    text.AppendNumber(seven);
    EXPECT_STREQ(text.GetUtf8(), "n=7");

    String numbers;
    const unsigned int largest = 4294967295u;
    const int negative = -5;
    const double half = 1.5;
    numbers.AppendNumber(largest).Append(',').AppendNumber(negative).Append(',').AppendNumber(half);
    EXPECT_STREQ(numbers.GetUtf8(), "4294967295,-5,1.500000");

    String huge;
    const double largestDouble = 1.7976931348623157e308;
    huge.AppendNumber(largestDouble);
    EXPECT_EQ(huge.GetLength(), 316u);  // 309 digits, a point and six decimals
}

TEST(StringAppend, PlusJoinsWithoutChangingEither) {
    const String left("ab");
    const String right("\xC3\xA9");
    String joined = left + right;
    EXPECT_STREQ(joined.GetUtf8(), "ab\xC3\xA9");
    EXPECT_EQ(left.GetLength(), 2u);
    EXPECT_EQ(right.GetLength(), 1u);
}

}  // namespace
}  // namespace qz::common::testing
