// Search, replace, substring and split on arbitrary short texts agree with the plain model.
// The input bytes pick code points from a tiny alphabet so that matches are frequent; 0xFF
// bytes separate the text, the pattern and the replacement.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/String.h"
#include "fuzz/FuzzCheck.h"
#include "tests/string/StringModel.h"
#include "tests/string/StringTestSupport.h"

using qz::common::String;
using namespace qz::common::testing;

namespace {

constexpr std::size_t kMaxText = 64;  // the model is quadratic

std::u32string NextText(const std::uint8_t*& p, const std::uint8_t* end) {
    static const char32_t kAlphabet[] = {U'a', U'b', U'c', 0, 0xFFFFFFE9, 0xE9, U'a', U'b'};
    std::u32string text;
    while (p != end && *p != 0xFF) {
        if (text.size() < kMaxText) {
            text += kAlphabet[*p % 8];
        }
        ++p;
    }
    if (p != end) {
        ++p;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const unsigned int start = data[0] % 70;
    const char c = static_cast<char>(data[1] % 4 == 3 ? 0xE9 : "ab\0"[data[1] % 4]);
    const std::uint8_t* p = data + 2;
    const std::uint8_t* const end = data + size;
    const std::u32string text = NextText(p, end);
    const std::u32string pattern = NextText(p, end);
    const std::u32string replacement = NextText(p, end);
    const String subject = FromCodePoints(text);
    const String find = FromCodePoints(pattern);
    const String insert = FromCodePoints(replacement);

    QZ_FUZZ_CHECK(subject.Find(find, start) == model::Find(text, pattern, start));
    QZ_FUZZ_CHECK(subject.Find(c, start) == model::Find(text, c, start));
    QZ_FUZZ_CHECK(subject.FindLast(c) == model::FindLast(text, c));
    QZ_FUZZ_CHECK(CodePointsOf(subject.Substring(start % 8, start / 8)) ==
                  model::Substring(text, start % 8, start / 8));

    std::u32string first = text;
    String replacedFirst(subject);
    QZ_FUZZ_CHECK(replacedFirst.ReplaceFirst(find, insert) ==
                  model::ReplaceFirst(first, pattern, replacement));
    QZ_FUZZ_CHECK(CodePointsOf(replacedFirst) == first);
    std::u32string all = text;
    String replacedAll(subject);
    // Inputs whose replacement keeps recreating the pattern grow without end by design.
    const std::optional<bool> expectedAll = model::ReplaceAll(all, pattern, replacement);
    if (expectedAll) {
        QZ_FUZZ_CHECK(replacedAll.ReplaceAll(find, insert) == *expectedAll);
        QZ_FUZZ_CHECK(CodePointsOf(replacedAll) == all);
    }

    VectorArray<String> atChar;
    std::vector<std::u32string> expectedAtChar;
    QZ_FUZZ_CHECK(subject.Split(c, atChar) == model::Split(text, c, expectedAtChar));
    QZ_FUZZ_CHECK(PiecesOf(atChar) == expectedAtChar);
    VectorArray<String> atString;
    std::vector<std::u32string> expectedAtString;
    QZ_FUZZ_CHECK(subject.Split(find, atString) == model::Split(text, pattern, expectedAtString));
    QZ_FUZZ_CHECK(PiecesOf(atString) == expectedAtString);
    return 0;
}
