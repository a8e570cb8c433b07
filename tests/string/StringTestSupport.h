#pragma once

#include <initializer_list>
#include <string>

#include "common/String.h"

namespace qz::common::testing {

/// A string holding exactly these code points, zeros and unchecked values included.
inline String FromCodePoints(const std::u32string& codePoints) {
    String text;
    text.SetUtf32(reinterpret_cast<const unsigned int*>(codePoints.data()),
                  static_cast<unsigned int>(codePoints.size()));
    return text;
}

/// The code points of `text`.
inline std::u32string CodePointsOf(const String& text) {
    std::u32string codePoints;
    for (unsigned int i = 0; i < text.GetLength(); ++i) {
        codePoints += static_cast<char32_t>(text.GetAt(i));
    }
    return codePoints;
}

/// The 16-bit units of a UTF-16 literal as the library takes them.
inline const unsigned short* Units(const std::u16string& text) {
    return reinterpret_cast<const unsigned short*>(text.data());
}

/// A byte string from a list of byte values, so tables can hold 0 bytes and any byte.
inline std::string Bytes(std::initializer_list<unsigned int> values) {
    std::string bytes;
    for (const unsigned int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

}  // namespace qz::common::testing
