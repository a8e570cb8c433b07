#include "InstallationErrorMessages.h"

#include <gtest/gtest.h>

#include <string>

namespace qz::veltoclient {
namespace {

using Units = std::basic_string<unsigned short>;

Units ToUnits(const char16_t* text) {
    Units units;
    for (; *text != 0; ++text) {
        units.push_back(static_cast<unsigned short>(*text));
    }
    return units;
}

// Null stays distinguishable from an empty text.
bool Find(const char16_t* locale, Units& message) {
    const Units code = ToUnits(locale);
    const unsigned short* found = FindInstallationErrorMessage(code.c_str());
    if (found == nullptr) {
        return false;
    }
    message = found;
    return true;
}

struct Entry {
    const char16_t* locale;
    const char16_t* message;  // non-ASCII as escapes, independent of the source's encoding
    std::size_t length;
};

// Table order, with the lengths in code units as shipped.
const Entry kEntries[] = {
    {u"cs-CZ", u"K\u00F3d chyby __REPLACE__.", 22},
    {u"da-DK", u"Fejlkode __REPLACE__.", 21},
    {u"de-DE", u"Fehlercode __REPLACE__.", 23},
    {u"en-US", u"Error code __REPLACE__.", 23},
    {u"es-ES", u"C\u00F3digo de error __REPLACE__.", 28},
    {u"fi-FI", u"Virhekoodi __REPLACE__.", 23},
    {u"fr-FR", u"Code d'erreur __REPLACE__.", 26},
    {u"it-IT", u"Codice errore__REPLACE__.", 25},
    {u"ko-KO", u"\uC5D0\uB7EC \uCF54\uB4DC __REPLACE__.", 18},
    {u"nb-NO", u"Feilkode __REPLACE__.", 21},
    {u"nl-NL", u"Foutcode __REPLACE__.", 21},
    {u"pl-PL", u"Kod b\u0142\u0119du __REPLACE__.", 22},
    {u"ru-RU", u"\u041A\u043E\u0434 \u043E\u0448\u0438\u0431\u043A\u0438 __REPLACE__.", 23},
    {u"sv-SE", u"Felkod __REPLACE__.", 19},
    {u"zh-CN", u"\u9519\u8BEF\u4EE3\u7801 __REPLACE__\u3002", 17},
    {u"zh-TW", u"\u932F\u8AA4\u4EE3\u78BC __REPLACE__\u3002", 17},
};

TEST(InstallationErrorMessages, EveryLocaleYieldsItsExactTemplate) {
    for (const Entry& entry : kEntries) {
        Units message;
        ASSERT_TRUE(Find(entry.locale, message)) << ToUnits(entry.locale).size();
        EXPECT_EQ(message, ToUnits(entry.message));
        EXPECT_EQ(message.size(), entry.length);
    }
}

TEST(InstallationErrorMessages, EveryTemplateHoldsThePlaceholderOnce) {
    const Units placeholder = ToUnits(u"__REPLACE__");
    for (const Entry& entry : kEntries) {
        Units message;
        ASSERT_TRUE(Find(entry.locale, message));
        const std::size_t at = message.find(placeholder);
        ASSERT_NE(at, Units::npos);
        EXPECT_EQ(message.find(placeholder, at + 1), Units::npos);
    }
}

TEST(InstallationErrorMessages, ResultPointsIntoTheTableForGood) {
    const Units code = ToUnits(u"en-US");
    EXPECT_EQ(FindInstallationErrorMessage(code.c_str()),
              FindInstallationErrorMessage(ToUnits(u"en-US").c_str()));
}

TEST(InstallationErrorMessages, OnlyAnExactCodeMatches) {
    const char16_t* const misses[] = {
        u"en-us", u"EN-US", u"en",     u"en-GB", u"en-US ",  u" en-US",
        u"",      u"ko-KR", u"en-USA", u"zh",    u"de-DE\t",
    };
    for (const char16_t* locale : misses) {
        Units message;
        EXPECT_FALSE(Find(locale, message)) << ToUnits(locale).size();
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
}  // namespace qz::veltoclient
