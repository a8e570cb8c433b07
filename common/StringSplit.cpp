// Splitting and trimming.

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

}  // namespace

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

}  // namespace qz::common
