#include "InstallationErrorMessages.h"

#include <gtest/gtest.h>

#include "ExpectedMessages.h"

namespace qz::veltoclient::test {
namespace {

Units Widen(const char* ascii) {
    Units units;
    for (; *ascii != 0; ++ascii) {
        units.push_back(static_cast<unsigned char>(*ascii));
    }
    return units;
}

// Null stays distinguishable from an empty text.
bool Find(const char* locale, Units& message) {
    const unsigned short* found = FindInstallationErrorMessage(Widen(locale).c_str());
    if (found == nullptr) {
        return false;
    }
    message = found;
    return true;
}

TEST(InstallationErrorMessages, EveryLocaleYieldsItsExactTemplate) {
    for (const ExpectedMessage& expected : kExpectedMessages) {
        SCOPED_TRACE(expected.locale);
        Units message;
        ASSERT_TRUE(Find(expected.locale, message));
        EXPECT_EQ(message, ToUnits(expected.message));
        EXPECT_EQ(message.size(), expected.length);
    }
}

TEST(InstallationErrorMessages, EveryTemplateHoldsThePlaceholderOnce) {
    const Units placeholder = ToUnits(u"__REPLACE__");
    for (const ExpectedMessage& expected : kExpectedMessages) {
        SCOPED_TRACE(expected.locale);
        Units message;
        ASSERT_TRUE(Find(expected.locale, message));
        const std::size_t at = message.find(placeholder);
        ASSERT_NE(at, Units::npos);
        EXPECT_EQ(message.find(placeholder, at + 1), Units::npos);
    }
}

TEST(InstallationErrorMessages, OnlyAnExactCodeMatches) {
    for (const char* locale : kUnknownLocales) {
        Units message;
        EXPECT_FALSE(Find(locale, message)) << '"' << locale << '"';
    }
}

TEST(InstallationErrorMessages, CodeEndsAtItsTerminator) {
    // Units after the terminator are not part of the code.
    const unsigned short code[] = {'s', 'v', '-', 'S', 'E', 0, 'X', 0};
    const unsigned short* found = FindInstallationErrorMessage(code);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Units(found), ToUnits(u"Felkod __REPLACE__."));
}

}  // namespace
}  // namespace qz::veltoclient::test
