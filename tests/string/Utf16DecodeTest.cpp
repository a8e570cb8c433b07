#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/String.h"
#include "tests/string/DecodeCases.h"
#include "tests/string/StringTestSupport.h"

namespace qz::common::testing {
namespace {

using Accepted = AcceptedCase<std::u16string>;
using Rejected = RejectedCase<std::u16string>;

TEST(Utf16Decode, SingleUnitsAndPairsAtTheirLimits) {
    const std::vector<Accepted> cases = {
        {"U+0001", {0x0001}, {0x0001}},
        {"U+D7FF (last before the surrogates)", {0xD7FF}, {0xD7FF}},
        {"U+E000 (first after the surrogates)", {0xE000}, {0xE000}},
        {"U+FF01", {0xFF01}, {0xFF01}},
        {"U+FFFF", {0xFFFF}, {0xFFFF}},
        {"U+10000 (first pair)", {0xD800, 0xDC00}, {0x10000}},
        {"U+1F600", {0xD83D, 0xDE00}, {0x1F600}},
        {"U+10FFFD (last pair accepted)", {0xDBFF, 0xDFFD}, {0x10FFFD}},
        {"U+0000 inside an explicit length", {0x61, 0x00, 0x62}, {0x61, 0, 0x62}},
    };
    for (const Accepted& c : cases) {
        ExpectAccepted(c);
    }
}

TEST(Utf16Decode, UnpairedSurrogatesAreRejected) {
    const std::vector<Rejected> cases = {
        {"lone trail DC00", {0xDC00}},
        {"lone trail DFFF", {0xDFFF}},
        {"lead D83D then U+0041", {0xD83D, 0x0041}},
        {"lead D83D then lead D83D", {0xD83D, 0xD83D, 0xDE00}},
        {"lead D83D then U+E000", {0xD83D, 0xE000}},
        {"trail then lead", {0xDE00, 0xD83D}},
        {"lead D83D then a 0 unit inside the length", {0xD83D, 0x0000}},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
    }
}

TEST(Utf16Decode, PairsAboveU10FFFDAreRejected) {
    const std::vector<Rejected> cases = {
        {"U+10FFFE", {0xDBFF, 0xDFFE}},
        {"U+10FFFF", {0xDBFF, 0xDFFF}},
    };
    for (const Rejected& c : cases) {
        ExpectRejected(c);
    }
}

TEST(Utf16Decode, LeadAtTheEndIsRejected) {
    const std::u16string units = {0x61, 0xD83D, 0xDE00};
    String text("previous content");
    EXPECT_FALSE(text.SetUtf16(Units(units), 2));
    EXPECT_EQ(text.GetLength(), 0u);
    EXPECT_FALSE(DecodeTraits<std::u16string>::Decode(text, std::u16string{0xD83D}));
    EXPECT_TRUE(text.SetUtf16(Units(units), 3));
    EXPECT_EQ(CodePointsOf(text), U"a\U0001F600");
}

TEST(Utf16Decode, LengthUpToTheTerminatorOrExplicit) {
    const std::u16string units = {u'a', 0, u'b', 0};
    String text;
    EXPECT_TRUE(text.SetUtf16(Units(units), 3));
    EXPECT_EQ(CodePointsOf(text), (std::u32string{U'a', 0, U'b'}));
    EXPECT_TRUE(text.SetUtf16(Units(units), 0xFFFFFFFF));
    EXPECT_EQ(CodePointsOf(text), U"a");
    EXPECT_EQ(String(Units(units)).GetLength(), 1u);
    EXPECT_EQ(String(Units(units), 3).GetLength(), 3u);
}

TEST(Utf16Decode, NullTextEmptiesAndSucceeds) {
    String text("abc");
    EXPECT_TRUE(text.SetUtf16(nullptr, 4));
    EXPECT_EQ(text.GetLength(), 0u);
    EXPECT_EQ(String(static_cast<const unsigned short*>(nullptr)).GetLength(), 0u);
}

TEST(Utf32Input, TakesEveryValueUnchecked) {
    const unsigned int values[] = {0x41, 0, 0xD800, 0x110000, 0xFFFFFFFF, 0};
    String text("previous content");
    EXPECT_TRUE(text.SetUtf32(values, 5));
    EXPECT_EQ(CodePointsOf(text), (std::u32string{0x41, 0, 0xD800, 0x110000, 0xFFFFFFFF}));
    EXPECT_TRUE(text.SetUtf32(values, 0xFFFFFFFF));
    EXPECT_EQ(CodePointsOf(text), U"A");
    EXPECT_TRUE(text.SetUtf32(nullptr, 3));
    EXPECT_EQ(text.GetLength(), 0u);
}

}  // namespace
}  // namespace qz::common::testing
