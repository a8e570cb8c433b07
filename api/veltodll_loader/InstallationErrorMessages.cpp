#include "InstallationErrorMessages.h"

#include <cstddef>

namespace qz::veltoclient {
namespace {

// The texts are written as u"" literals for readability and copied at compile time into arrays
// of unsigned short, the type the interface uses: read-only data, no code at load time.
template <std::size_t N>
struct WideText {
    unsigned short units[N];
};

template <std::size_t N>
constexpr WideText<N> Wide(const char16_t (&text)[N]) {
    WideText<N> wide{};
    for (std::size_t i = 0; i < N; ++i) {
        wide.units[i] = static_cast<unsigned short>(text[i]);
    }
    return wide;
}

constexpr auto kCsCz = Wide(u"cs-CZ");
constexpr auto kCsCzText = Wide(u"Kód chyby __REPLACE__.");
constexpr auto kDaDk = Wide(u"da-DK");
constexpr auto kDaDkText = Wide(u"Fejlkode __REPLACE__.");
constexpr auto kDeDe = Wide(u"de-DE");
constexpr auto kDeDeText = Wide(u"Fehlercode __REPLACE__.");
constexpr auto kEnUs = Wide(u"en-US");
constexpr auto kEnUsText = Wide(u"Error code __REPLACE__.");
constexpr auto kEsEs = Wide(u"es-ES");
constexpr auto kEsEsText = Wide(u"Código de error __REPLACE__.");
constexpr auto kFiFi = Wide(u"fi-FI");
constexpr auto kFiFiText = Wide(u"Virhekoodi __REPLACE__.");
constexpr auto kFrFr = Wide(u"fr-FR");
constexpr auto kFrFrText = Wide(u"Code d'erreur __REPLACE__.");
constexpr auto kItIt = Wide(u"it-IT");
// No space before the number: this is the shipped wording.
constexpr auto kItItText = Wide(u"Codice errore__REPLACE__.");
// The region is KO, not KR: games ask with this code.
constexpr auto kKoKo = Wide(u"ko-KO");
constexpr auto kKoKoText = Wide(u"에러 코드 __REPLACE__.");
constexpr auto kNbNo = Wide(u"nb-NO");
constexpr auto kNbNoText = Wide(u"Feilkode __REPLACE__.");
constexpr auto kNlNl = Wide(u"nl-NL");
constexpr auto kNlNlText = Wide(u"Foutcode __REPLACE__.");
constexpr auto kPlPl = Wide(u"pl-PL");
constexpr auto kPlPlText = Wide(u"Kod błędu __REPLACE__.");
constexpr auto kRuRu = Wide(u"ru-RU");
constexpr auto kRuRuText = Wide(u"Код ошибки __REPLACE__.");
constexpr auto kSvSe = Wide(u"sv-SE");
constexpr auto kSvSeText = Wide(u"Felkod __REPLACE__.");
constexpr auto kZhCn = Wide(u"zh-CN");
constexpr auto kZhCnText = Wide(u"错误代码 __REPLACE__。");
constexpr auto kZhTw = Wide(u"zh-TW");
constexpr auto kZhTwText = Wide(u"錯誤代碼 __REPLACE__。");

struct InstallationErrorMessage {
    const unsigned short* locale;
    const unsigned short* text;
};

// Sorted by locale code; searched in this order.
constexpr InstallationErrorMessage InstallationErrorMessages[] = {
    {kCsCz.units, kCsCzText.units}, {kDaDk.units, kDaDkText.units}, {kDeDe.units, kDeDeText.units},
    {kEnUs.units, kEnUsText.units}, {kEsEs.units, kEsEsText.units}, {kFiFi.units, kFiFiText.units},
    {kFrFr.units, kFrFrText.units}, {kItIt.units, kItItText.units}, {kKoKo.units, kKoKoText.units},
    {kNbNo.units, kNbNoText.units}, {kNlNl.units, kNlNlText.units}, {kPlPl.units, kPlPlText.units},
    {kRuRu.units, kRuRuText.units}, {kSvSe.units, kSvSeText.units}, {kZhCn.units, kZhCnText.units},
    {kZhTw.units, kZhTwText.units},
};

// Equal units up to and including the terminator: exact, case-sensitive, no prefix match.
bool SameText(const unsigned short* a, const unsigned short* b) {
    for (;; ++a, ++b) {
        if (*a != *b) {
            return false;
        }
        if (*a == 0) {
            return true;
        }
    }
}

}  // namespace

const unsigned short* FindInstallationErrorMessage(const unsigned short* locale) {
    for (const InstallationErrorMessage& entry : InstallationErrorMessages) {
        if (SameText(locale, entry.locale)) {
            return entry.text;
        }
    }
    return nullptr;
}

}  // namespace qz::veltoclient
