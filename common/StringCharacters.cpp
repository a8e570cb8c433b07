// Character classes and case mapping of the ASCII letters.

#include "common/String.h"

namespace qz::common {

bool IsWhitespace(unsigned int codePoint) {
    if (codePoint <= 0x20) {
        return codePoint == 0 || codePoint == 0x20 || (codePoint >= 0x09 && codePoint <= 0x0D);
    }
    if (codePoint >= 0x2000 && codePoint <= 0x200A) {
        return true;
    }
    switch (codePoint) {
        case 0x00A0:
        case 0x180E:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return false;
    }
}

bool IsDigit(unsigned int codePoint) {
    return codePoint >= 0x30 && codePoint <= 0x39;
}

String String::ToLower() const {
    String result(*this);
    unsigned int* const data = result.codePoints.GetData();
    for (unsigned int i = 0; i < result.GetLength(); ++i) {
        if (data[i] >= 0x41 && data[i] <= 0x5A) {
            data[i] += 0x20;
        }
    }
    return result;
}

String String::ToUpper() const {
    String result(*this);
    unsigned int* const data = result.codePoints.GetData();
    for (unsigned int i = 0; i < result.GetLength(); ++i) {
        if (data[i] >= 0x61 && data[i] <= 0x7A) {
            data[i] -= 0x20;
        }
    }
    return result;
}

bool String::IsWhitespace() const {
    for (unsigned int i = 0; i < GetLength(); ++i) {
        if (!qz::common::IsWhitespace(Data()[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace qz::common
