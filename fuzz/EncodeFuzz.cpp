// Properties of the encoders on arbitrary stored values (every 4 input bytes give one, surrogate
// values and values above U+10FFFF included): both forms equal the reference encoders, every
// kernel agrees, and the counted lengths are exact.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/String.h"
#include "common/Utf16.h"
#include "common/Utf8.h"
#include "fuzz/FuzzCheck.h"
#include "tests/string/ReferenceUtf.h"
#include "tests/string/StringTestSupport.h"

using qz::common::String;
using namespace qz::common::testing;
namespace utf = qz::common::utf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned int> values(size / 4);
    if (!values.empty()) {
        std::memcpy(values.data(), data, values.size() * 4);
    }
    // Many small values, so that all lengths occur: the top byte of each value picks how many
    // of its bits are kept (all of them when it is 0, so seeds read as they are written).
    for (unsigned int& value : values) {
        static const unsigned int kKeep[] = {0xFFFFFFFF, 0x7F, 0x7FF, 0xFFFF, 0x1FFFFF};
        value &= kKeep[(value >> 24) % 5];
    }
    const std::u32string codePoints(values.begin(), values.end());
    String text("previous content");
    QZ_FUZZ_CHECK(text.SetUtf32(values.data(), static_cast<unsigned int>(values.size())));
    QZ_FUZZ_CHECK(CodePointsOf(text) == codePoints);

    const std::string utf8 = ReferenceEncodeUtf8(codePoints);
    QZ_FUZZ_CHECK(std::memcmp(text.GetUtf8(), utf8.c_str(), utf8.size() + 1) == 0);
    const std::u16string utf16 = ReferenceEncodeUtf16(codePoints);
    QZ_FUZZ_CHECK(std::memcmp(text.GetUtf16(), utf16.c_str(), (utf16.size() + 1) * 2) == 0);

    QZ_FUZZ_CHECK(utf::Utf8Length(values.data(), values.size()) == utf8.size());
    QZ_FUZZ_CHECK(utf::Utf16Length(values.data(), values.size()) == utf16.size());
    for (const auto kernel : {utf::Kernel::kPortable, utf::Kernel::kSse2}) {
        std::vector<char> out8(utf8.size() + utf::kUtf8EncodeSlack);
        QZ_FUZZ_CHECK(utf::EncodeUtf8(values.data(), values.size(), out8.data(), kernel) ==
                      utf8.size());
        QZ_FUZZ_CHECK(std::memcmp(out8.data(), utf8.data(), utf8.size()) == 0);
        std::vector<unsigned short> out16(utf16.size() + utf::kUtf16EncodeSlack);
        QZ_FUZZ_CHECK(utf::EncodeUtf16(values.data(), values.size(), out16.data(), kernel) ==
                      utf16.size());
        QZ_FUZZ_CHECK(std::memcmp(out16.data(), utf16.data(), utf16.size() * 2) == 0);
    }
    return 0;
}
