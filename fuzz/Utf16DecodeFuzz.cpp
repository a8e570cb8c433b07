// Properties of UTF-16 decoding on arbitrary units: no crash; what is refused leaves the string
// empty; the result equals the unit-at-a-time reference and every block kernel; what is
// accepted comes back unchanged through both encodings.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/String.h"
#include "common/Utf16.h"
#include "fuzz/FuzzCheck.h"
#include "tests/string/ReferenceUtf.h"
#include "tests/string/StringTestSupport.h"

using qz::common::String;
using namespace qz::common::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string units(size / 2, u'\0');
    if (!units.empty()) {
        std::memcpy(&units[0], data, units.size() * 2);
    }
    const unsigned int length = static_cast<unsigned int>(units.size());
    String text("previous content");
    const bool accepted = text.SetUtf16(Units(units), length);
    const auto expected = ReferenceDecodeUtf16(units);
    QZ_FUZZ_CHECK(accepted == expected.has_value());
    if (!accepted) {
        QZ_FUZZ_CHECK(text.GetLength() == 0);
        return 0;
    }
    QZ_FUZZ_CHECK(CodePointsOf(text) == *expected);

    for (const auto kernel : {qz::common::utf::Kernel::kPortable, qz::common::utf::Kernel::kSse2}) {
        std::vector<unsigned int> out(units.size());
        const std::size_t count =
            qz::common::utf::DecodeUtf16(Units(units), units.size(), out.data(), kernel);
        QZ_FUZZ_CHECK(count != qz::common::utf::kInvalid);
        QZ_FUZZ_CHECK(std::u32string(out.begin(), out.begin() + count) == *expected);
    }

    // With an explicit length the encoded forms, 0 units included, decode to the same text.
    const unsigned short* utf16 = text.GetUtf16();
    String fromUtf16;
    QZ_FUZZ_CHECK(fromUtf16.SetUtf16(utf16, length));
    QZ_FUZZ_CHECK(fromUtf16 == text);
    const std::string utf8 = ReferenceEncodeUtf8(*expected);
    QZ_FUZZ_CHECK(std::memcmp(text.GetUtf8(), utf8.data(), utf8.size() + 1) == 0);
    String fromUtf8;
    QZ_FUZZ_CHECK(fromUtf8.SetUtf8(utf8.data(), static_cast<unsigned int>(utf8.size())));
    QZ_FUZZ_CHECK(fromUtf8 == text);
    return 0;
}
