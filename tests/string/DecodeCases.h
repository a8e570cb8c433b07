#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>

#include "common/String.h"
#include "tests/string/ReferenceUtf.h"
#include "tests/string/StringTestSupport.h"

// Table-driven decoding checks shared by the UTF-8 and UTF-16 tests. Each case is decoded
// inside padding of every length up to two blocks, so that it starts and ends at every position
// of the block routines, and checked against the reference decoder too.
namespace qz::common::testing {

/// How the checks feed one encoding to `String`; `Text` holds its units.
template <typename Text>
struct DecodeTraits;

template <>
struct DecodeTraits<std::string> {
    // Two blocks of the SSE2 ASCII routine.
    static constexpr int kMaxPadding = 33;
    static constexpr char kBefore = 'x';
    static constexpr char kAfterAccepted = 'y';
    static constexpr char kAfterRejected = 'y';

    static bool Decode(String& text, const std::string& bytes) {
        return text.SetUtf8(bytes.data(), static_cast<unsigned int>(bytes.size()));
    }
    static std::optional<std::u32string> Reference(const std::string& bytes) {
        return ReferenceDecodeUtf8(bytes);
    }
};

template <>
struct DecodeTraits<std::u16string> {
    // Two blocks; accepted cases are followed by BMP text rather than ASCII.
    static constexpr int kMaxPadding = 17;
    static constexpr char16_t kBefore = u'x';
    static constexpr char16_t kAfterAccepted = u'\u4E2D';
    static constexpr char16_t kAfterRejected = u'y';

    static bool Decode(String& text, const std::u16string& units) {
        return text.SetUtf16(Units(units), static_cast<unsigned int>(units.size()));
    }
    static std::optional<std::u32string> Reference(const std::u16string& units) {
        return ReferenceDecodeUtf16(units);
    }
};

/// Well-formed input and the code points it decodes to.
template <typename Text>
struct AcceptedCase {
    const char* label;
    Text units;
    std::u32string codePoints;
};

/// Malformed input.
template <typename Text>
struct RejectedCase {
    const char* label;
    Text units;
};

template <typename Text>
void ExpectAccepted(const AcceptedCase<Text>& c) {
    using Traits = DecodeTraits<Text>;
    SCOPED_TRACE(c.label);
    for (int before = 0; before <= Traits::kMaxPadding; ++before) {
        const Text padBefore(static_cast<std::size_t>(before), Traits::kBefore);
        const Text padAfter(static_cast<std::size_t>(Traits::kMaxPadding - before),
                            Traits::kAfterAccepted);
        String text("previous content");
        ASSERT_TRUE(Traits::Decode(text, padBefore + c.units + padAfter)) << "padding " << before;
        const std::u32string expected = std::u32string(padBefore.begin(), padBefore.end()) +
                                        c.codePoints +
                                        std::u32string(padAfter.begin(), padAfter.end());
        ASSERT_EQ(CodePointsOf(text), expected) << "padding " << before;
    }
    EXPECT_EQ(Traits::Reference(c.units), c.codePoints) << "reference disagrees";
}

template <typename Text>
void ExpectRejected(const RejectedCase<Text>& c) {
    using Traits = DecodeTraits<Text>;
    SCOPED_TRACE(c.label);
    for (int before = 0; before <= Traits::kMaxPadding; ++before) {
        const Text units =
            Text(static_cast<std::size_t>(before), Traits::kBefore) + c.units +
            Text(static_cast<std::size_t>(Traits::kMaxPadding - before), Traits::kAfterRejected);
        String text("previous content");
        ASSERT_FALSE(Traits::Decode(text, units)) << "padding " << before;
        ASSERT_EQ(text.GetLength(), 0u) << "padding " << before;
    }
    EXPECT_FALSE(Traits::Reference(c.units).has_value()) << "reference disagrees";
}

}  // namespace qz::common::testing
