#pragma once

// The installation error messages as shipped, written independently of the library's table:
// non-ASCII characters as escapes, so the source file's encoding cannot hide a wrong unit.

#include <cstddef>
#include <string>

namespace qz::veltoclient::test {

using Units = std::basic_string<unsigned short>;

inline Units ToUnits(const char16_t* text) {
    Units units;
    for (; *text != 0; ++text) {
        units.push_back(static_cast<unsigned short>(*text));
    }
    return units;
}

struct ExpectedMessage {
    const char* locale;
    const char16_t* message;
    std::size_t length;  // in code units, without the terminator
};

// Table order.
inline constexpr ExpectedMessage kExpectedMessages[] = {
    {"cs-CZ", u"K\u00F3d chyby __REPLACE__.", 22},
    {"da-DK", u"Fejlkode __REPLACE__.", 21},
    {"de-DE", u"Fehlercode __REPLACE__.", 23},
    {"en-US", u"Error code __REPLACE__.", 23},
    {"es-ES", u"C\u00F3digo de error __REPLACE__.", 28},
    {"fi-FI", u"Virhekoodi __REPLACE__.", 23},
    {"fr-FR", u"Code d'erreur __REPLACE__.", 26},
    {"it-IT", u"Codice errore__REPLACE__.", 25},
    {"ko-KO", u"\uC5D0\uB7EC \uCF54\uB4DC __REPLACE__.", 18},
    {"nb-NO", u"Feilkode __REPLACE__.", 21},
    {"nl-NL", u"Foutcode __REPLACE__.", 21},
    {"pl-PL", u"Kod b\u0142\u0119du __REPLACE__.", 22},
    {"ru-RU", u"\u041A\u043E\u0434 \u043E\u0448\u0438\u0431\u043A\u0438 __REPLACE__.", 23},
    {"sv-SE", u"Felkod __REPLACE__.", 19},
    {"zh-CN", u"\u9519\u8BEF\u4EE3\u7801 __REPLACE__\u3002", 17},
    {"zh-TW", u"\u932F\u8AA4\u4EE3\u78BC __REPLACE__\u3002", 17},
};

// Locale codes that name no entry: other case, language or region alone, stray spaces.
inline constexpr const char* kUnknownLocales[] = {
    "en-us", "EN-US", "en", "en-GB", "en-US ", " en-US", "", "ko-KR", "en-USA", "zh", "de-DE\t",
};

}  // namespace qz::veltoclient::test
