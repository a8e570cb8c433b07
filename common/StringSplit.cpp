#include <cstring>

#include "common/String.h"

namespace qz::common {
namespace {

bool SameCodePoints(const unsigned int* a, const unsigned int* b, unsigned int count) {
    return count == 0 || std::memcmp(a, b, count * sizeof(unsigned int)) == 0;
}

String FromRange(const unsigned int* begin, const unsigned int* end) {
    String piece;
    piece.SetUtf32(begin, static_cast<unsigned int>(end - begin));
    return piece;
}

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

bool String::Split(char separator, IArray<String>& parts) const {
    const unsigned int wanted = Widen(separator);
    if (Find(separator) == 0xFFFFFFFF) {  // also covers the empty string
        return false;
    }
    const unsigned int* const data = Data();
    unsigned int cut = 0;
    for (unsigned int i = 0; i < GetLength(); ++i) {
        if (data[i] == wanted) {
            parts.Add(Substring(cut, i));
            cut = i + 1;
        }
    }
    parts.Add(Substring(cut));
    return true;
}

bool String::Split(const String& separator, IArray<String>& parts) const {
    // The pieces never hold U+0000, and skipping it changes no cut, so work on the text
    // without it. The current piece is then always the run from `start` to the code point
    // just read.
    const String* text = this;
    String withoutZeros;
    if (Find('\0') != 0xFFFFFFFF) {
        withoutZeros = Substring(0);
        text = &withoutZeros;
    }
    if (text->GetLength() == 0) {
        return parts.GetSize() != 0;
    }
    const unsigned int* const begin = text->Data();
    const unsigned int* const end = begin + text->GetLength();
    const unsigned int* const sep = separator.Data();
    const unsigned int sepLength = separator.GetLength();
    const unsigned int* start = begin;
    for (const unsigned int* next = begin + 1; next <= end; ++next) {
        const unsigned int pieceLength = static_cast<unsigned int>(next - start);
        if (pieceLength < sepLength || !SameCodePoints(next - sepLength, sep, sepLength)) {
            continue;
        }
        if (pieceLength != sepLength) {
            parts.Add(FromRange(start, next - sepLength));
        }
        start = next;
    }
    if (start != end) {  // a remainder equal to the separator was dropped above
        parts.Add(FromRange(start, end));
    }
    return parts.GetSize() != 0;
}

String String::Trim() const {
    const unsigned int length = GetLength();
    const unsigned int* const data = Data();
    unsigned int first = 0;
    while (first < length && qz::common::IsWhitespace(data[first])) {
        ++first;
    }
    if (first == length) {
        return String();
    }
    unsigned int last = length;
    while (qz::common::IsWhitespace(data[last - 1])) {
        --last;
    }
    return Substring(first, last);
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

bool String::IsDigits() const {
    for (unsigned int i = 0; i < GetLength(); ++i) {
        if (!IsDigit(Data()[i])) {
            return false;
        }
    }
    return true;
}

bool String::IsWhitespace() const {
    for (unsigned int i = 0; i < GetLength(); ++i) {
        if (!qz::common::IsWhitespace(Data()[i])) {
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
