// Number parsing: decimal and hexadecimal digits to unsigned values.

#include "common/String.h"

namespace qz::common {
namespace {

// Decimal or hexadecimal value of a digit, or -1.
int DigitValue(unsigned int c, bool hex) {
    if (c >= 0x30 && c <= 0x39) {
        return static_cast<int>(c - 0x30);
    }
    if (hex && c >= 0x41 && c <= 0x46) {
        return static_cast<int>(c - 0x37);
    }
    if (hex && c >= 0x61 && c <= 0x66) {
        return static_cast<int>(c - 0x57);
    }
    return -1;
}

// Value of the whole text in `base`, wrapping modulo 2^64; 0 when a character is not a digit.
unsigned long long Parse(const String& text, bool hex) {
    unsigned long long value = 0;
    for (unsigned int i = 0; i < text.GetLength(); ++i) {
        const int digit = DigitValue(text.GetAt(i), hex);
        if (digit < 0) {
            return 0;
        }
        value = value * (hex ? 16u : 10u) + static_cast<unsigned int>(digit);
    }
    return value;
}

}  // namespace

bool String::IsDigits() const {
    for (unsigned int i = 0; i < GetLength(); ++i) {
        if (!IsDigit(Data()[i])) {
            return false;
        }
    }
    return true;
}

unsigned long long String::ToUInt64() const {
    return Parse(Trim(), false);
}

unsigned int String::ToUInt32() const {
    const unsigned long long value = ToUInt64();
    return value > 0xFFFFFFFFull ? 0 : static_cast<unsigned int>(value);
}

unsigned short String::ToUInt16() const {
    const unsigned long long value = ToUInt64();
    return value > 0xFFFFull ? 0 : static_cast<unsigned short>(value);
}

unsigned int String::HexToUInt32() const {
    // Wraps modulo 2^32, not 2^64: only the low 32 bits of each step matter.
    return static_cast<unsigned int>(Parse(Trim(), true));
}

}  // namespace qz::common
