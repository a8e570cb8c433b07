#pragma once

// Comparing the loader's UTF-16 installation error text with an ASCII expectation.

namespace qz::msvctest {

/// Whether the 0-terminated `text` holds exactly the ASCII `expected`.
inline bool SameText(const unsigned short* text, const char* expected) {
    if (text == nullptr) {
        return false;
    }
    for (; *expected != 0; ++text, ++expected) {
        if (*text != static_cast<unsigned char>(*expected)) {
            return false;
        }
    }
    return *text == 0;
}

}  // namespace qz::msvctest
