#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/String.h"
#include "tests/string/StringModel.h"
#include "tests/string/StringTestSupport.h"

// Random texts over a tiny alphabet (so patterns occur, overlap and repeat), with U+0000 and a
// widened char in it, checked operation by operation against the plain model.
namespace qz::common::testing {
namespace {

constexpr int kRounds = 4000;

class StringModelTest : public ::testing::Test {
protected:
    std::u32string RandomText(size_t maxLength) {
        static const char32_t kAlphabet[] = {U'a', U'a', U'b', U'b', U'c', 0, 0xFFFFFFE9, 0xE9};
        std::u32string text;
        const size_t length = random() % (maxLength + 1);
        for (size_t i = 0; i < length; ++i) {
            text += kAlphabet[random() % 8];
        }
        return text;
    }

    char RandomChar() {
        static const char kChars[] = {'a', 'b', '\0', static_cast<char>(0xE9)};
        return kChars[random() % 4];
    }

    unsigned int RandomIndex(const std::u32string& text) {
        return static_cast<unsigned int>(random() % (text.size() + 3));
    }

    std::mt19937 random{2026};
};

TEST_F(StringModelTest, Find) {
    for (int round = 0; round < kRounds; ++round) {
        const std::u32string text = RandomText(12);
        const std::u32string pattern = RandomText(3);
        const String subject = FromCodePoints(text);
        const unsigned int start = RandomIndex(text);
        const char c = RandomChar();
        ASSERT_EQ(subject.Find(FromCodePoints(pattern), start), model::Find(text, pattern, start))
            << "round " << round;
        ASSERT_EQ(subject.Find(c, start), model::Find(text, c, start)) << "round " << round;
        ASSERT_EQ(subject.FindLast(c), model::FindLast(text, c)) << "round " << round;
    }
}

TEST_F(StringModelTest, ReplaceFirstAndAll) {
    for (int round = 0; round < kRounds; ++round) {
        std::u32string first = RandomText(14);
        std::u32string all = first;
        const std::u32string pattern = RandomText(3);
        const std::u32string replacement = RandomText(4);
        String subjectFirst = FromCodePoints(first);
        String subjectAll = FromCodePoints(all);
        ASSERT_EQ(subjectFirst.ReplaceFirst(FromCodePoints(pattern), FromCodePoints(replacement)),
                  model::ReplaceFirst(first, pattern, replacement))
            << "round " << round;
        ASSERT_EQ(CodePointsOf(subjectFirst), first) << "round " << round;
        const std::optional<bool> expected = model::ReplaceAll(all, pattern, replacement);
        if (!expected) {
            continue;  // grows without end by design
        }
        ASSERT_EQ(subjectAll.ReplaceAll(FromCodePoints(pattern), FromCodePoints(replacement)),
                  *expected)
            << "round " << round;
        ASSERT_EQ(CodePointsOf(subjectAll), all) << "round " << round;
    }
}

TEST_F(StringModelTest, Substring) {
    for (int round = 0; round < kRounds; ++round) {
        const std::u32string text = RandomText(10);
        const String subject = FromCodePoints(text);
        const unsigned int start = RandomIndex(text);
        const unsigned int end = RandomIndex(text);
        ASSERT_EQ(CodePointsOf(subject.Substring(start, end)), model::Substring(text, start, end))
            << "round " << round;
        ASSERT_EQ(CodePointsOf(subject.Substring(start)),
                  model::Substring(text, start, static_cast<unsigned int>(text.size())))
            << "round " << round;
    }
}

TEST_F(StringModelTest, Split) {
    using Parts = VectorArray<String>;
    for (int round = 0; round < kRounds; ++round) {
        const std::u32string text = RandomText(12);
        const String subject = FromCodePoints(text);
        std::vector<std::u32string> expected;
        Parts parts;
        if (random() % 4 == 0) {  // pieces from before the call stay and count
            expected.push_back(U"kept");
            parts.Add(String("kept"));
        }
        bool result;
        bool expectedResult;
        if (random() % 2 == 0) {
            const char separator = RandomChar();
            result = subject.Split(separator, parts);
            expectedResult = model::Split(text, separator, expected);
        } else {
            const std::u32string separator = RandomText(3);
            result = subject.Split(FromCodePoints(separator), parts);
            expectedResult = model::Split(text, separator, expected);
        }
        ASSERT_EQ(result, expectedResult) << "round " << round;
        ASSERT_EQ(PiecesOf(parts), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace qz::common::testing
