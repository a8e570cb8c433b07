// Properties of UTF-8 decoding on arbitrary bytes: no crash; what is refused leaves the string
// empty; the result equals the byte-at-a-time reference and every block kernel; what is
// accepted comes back unchanged after encoding and decoding again.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/String.h"
#include "common/Utf8.h"
#include "fuzz/FuzzCheck.h"
#include "tests/string/ReferenceUtf.h"
#include "tests/string/StringTestSupport.h"

using qz::common::String;
using namespace qz::common::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    String text("previous content");
    const bool accepted = text.SetUtf8(bytes.data(), static_cast<unsigned int>(size));
    const auto expected = ReferenceDecodeUtf8(bytes);
    QZ_FUZZ_CHECK(accepted == expected.has_value());
    if (!accepted) {
        QZ_FUZZ_CHECK(text.GetLength() == 0);
    } else {
        QZ_FUZZ_CHECK(CodePointsOf(text) == *expected);
    }

    for (const auto kernel : {qz::common::utf::Kernel::kPortable, qz::common::utf::Kernel::kSse2}) {
        std::vector<unsigned int> out(size);
        const std::size_t count =
            qz::common::utf::DecodeUtf8(bytes.data(), size, out.data(), kernel);
        QZ_FUZZ_CHECK((count != qz::common::utf::kInvalid) == accepted);
        if (accepted) {
            QZ_FUZZ_CHECK(std::u32string(out.begin(), out.begin() + count) == *expected);
        }
    }

    if (accepted) {
        // Explicit lengths, so that decoded U+0000 travels too.
        const std::string utf8 = ReferenceEncodeUtf8(*expected);
        const char* encoded = text.GetUtf8();
        QZ_FUZZ_CHECK(std::memcmp(encoded, utf8.data(), utf8.size() + 1) == 0);
        String fromUtf8;
        QZ_FUZZ_CHECK(fromUtf8.SetUtf8(encoded, static_cast<unsigned int>(utf8.size())));
        QZ_FUZZ_CHECK(fromUtf8 == text);
        bool hasSurrogate = false;
        for (const char32_t c : *expected) {
            hasSurrogate |= c >= 0xD800 && c <= 0xDFFF;
        }
        if (!hasSurrogate) {  // surrogate values have no UTF-16 form
            const std::u16string utf16 = ReferenceEncodeUtf16(*expected);
            const unsigned short* units = text.GetUtf16();
            QZ_FUZZ_CHECK(std::memcmp(units, utf16.data(), (utf16.size() + 1) * 2) == 0);
            String fromUtf16;
            QZ_FUZZ_CHECK(fromUtf16.SetUtf16(units, static_cast<unsigned int>(utf16.size())));
            QZ_FUZZ_CHECK(fromUtf16 == text);
        }
    }
    return 0;
}
