#include <algorithm>
#include <climits>
#include <cstring>

#include "common/FatalError.h"
#include "common/String.h"

namespace qz::common {
namespace {

constexpr unsigned int kNotFound = 0xFFFFFFFF;

bool SameCodePoints(const unsigned int* a, const unsigned int* b, unsigned int count) {
    return count == 0 || std::memcmp(a, b, count * sizeof(unsigned int)) == 0;
}

// First position at or after `start` where `pattern` occurs whole in `text`, or kNotFound. An
// empty pattern occurs at `start` (when `start` is within the text or just past it).
unsigned int Search(const unsigned int* text, unsigned int length, const unsigned int* pattern,
                    unsigned int patternLength, unsigned int start) {
    if (patternLength > length || start > length - patternLength) {
        return kNotFound;
    }
    if (patternLength == 0) {
        return start;
    }
    const unsigned int* const last = text + (length - patternLength);
    const unsigned int first = pattern[0];
    for (const unsigned int* p = text + start; p <= last; ++p) {
        p = std::find(p, last + 1, first);
        if (p > last) {
            break;
        }
        if (SameCodePoints(p + 1, pattern + 1, patternLength - 1)) {
            return static_cast<unsigned int>(p - text);
        }
    }
    return kNotFound;
}

}  // namespace

bool String::operator==(const String& other) const {
    return GetLength() == other.GetLength() && SameCodePoints(Data(), other.Data(), GetLength());
}

bool String::operator!=(const String& other) const {
    return !(*this == other);
}

bool String::operator<(const String& other) const {
    if (other.GetLength() == 0) {
        return false;
    }
    const unsigned int shorter = std::min(GetLength(), other.GetLength());
    const unsigned int* const a = Data();
    const unsigned int* const b = other.Data();
    for (unsigned int i = 0; i < shorter; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i];
        }
    }
    return GetLength() < other.GetLength();
}

bool String::StartsWith(const String& prefix) const {
    return prefix.GetLength() <= GetLength() &&
           SameCodePoints(Data(), prefix.Data(), prefix.GetLength());
}

bool String::EndsWith(const String& suffix) const {
    return suffix.GetLength() <= GetLength() &&
           SameCodePoints(Data() + (GetLength() - suffix.GetLength()), suffix.Data(),
                          suffix.GetLength());
}

unsigned int String::Find(char c, unsigned int start) const {
    if (start >= GetLength()) {
        return kNotFound;
    }
    const unsigned int* const begin = Data();
    const unsigned int* const end = begin + GetLength();
    const unsigned int* const found = std::find(begin + start, end, Widen(c));
    return found == end ? kNotFound : static_cast<unsigned int>(found - begin);
}

unsigned int String::Find(const String& pattern, unsigned int start) const {
    if (pattern.GetLength() == 0 || start >= GetLength()) {
        return kNotFound;
    }
    return Search(Data(), GetLength(), pattern.Data(), pattern.GetLength(), start);
}

unsigned int String::FindLast(char c) const {
    const unsigned int wanted = Widen(c);
    const unsigned int* const data = Data();
    for (unsigned int i = GetLength(); i > 0; --i) {
        if (data[i - 1] == wanted) {
            return i - 1;
        }
    }
    return kNotFound;
}

bool String::ReplaceFirst(const String& pattern, const String& replacement) {
    const unsigned int position =
        Search(Data(), GetLength(), pattern.Data(), pattern.GetLength(), 0);
    if (position == kNotFound) {
        return false;
    }
    const unsigned int removeCount = pattern.GetLength();
    if (&replacement == this) {
        // The replacement is this string, which ReplaceRange changes while it reads from it.
        const String copy(replacement);  // NOLINT(performance-unnecessary-copy-initialization)
        ReplaceRange(position, removeCount, copy.Data(), copy.GetLength());
    } else {
        ReplaceRange(position, removeCount, replacement.Data(), replacement.GetLength());
    }
    return true;
}

bool String::ReplaceAll(const String& pattern, const String& replacement) {
    if (pattern.GetLength() == 0) {
        return false;  // it would match at 0 forever
    }
    if (&pattern == this || &replacement == this) {
        const String self(*this);
        return ReplaceAll(&pattern == this ? self : pattern,
                          &replacement == this ? self : replacement);
    }
    const unsigned int* const find = pattern.Data();
    const unsigned int findLength = pattern.GetLength();
    const unsigned int* const insert = replacement.Data();
    const unsigned int insertLength = replacement.GetLength();

    if (Search(insert, insertLength, find, findLength, 0) != kNotFound) {
        // Searching from the start again would find the inserted text forever: replace each
        // occurrence of the original text once, in one pass.
        const unsigned int* const text = Data();
        const unsigned int length = GetLength();
        HybridArray<unsigned int, 0, StandardDataHelper<unsigned int>> result;
        unsigned int from = 0;
        for (unsigned int at; (at = Search(text, length, find, findLength, from)) != kNotFound;
             from = at + findLength) {
            result.AddRange(text + from, at - from);
            result.AddRange(insert, insertLength);
        }
        if (from == 0) {
            return false;
        }
        result.AddRange(text + from, length - from);
        codePoints = result;
        return true;
    }

    // Each round replaces the first occurrence in the whole text. No occurrence starts before
    // the previous one, so the next can only start where it overlaps the inserted text or
    // later: search from there, with the same result as searching from 0.
    bool replaced = false;
    unsigned int from = 0;
    for (;;) {
        const unsigned int at = Search(Data(), GetLength(), find, findLength, from);
        if (at == kNotFound) {
            return replaced;
        }
        ReplaceRange(at, findLength, insert, insertLength);
        replaced = true;
        from = at + 1 > findLength ? at + 1 - findLength : 0;
    }
}

String String::Substring(unsigned int start, unsigned int end) const {
    String result;
    if (start > GetLength() || start >= end) {
        return result;
    }
    end = std::min(end, GetLength());
    const unsigned int* const data = Data();
    result.codePoints.Resize(end - start);
    unsigned int* const out = result.codePoints.GetData();
    unsigned int count = 0;
    for (unsigned int i = start; i < end; ++i) {
        out[count] = data[i];
        count += data[i] != 0;
    }
    result.codePoints.Truncate(count);
    return result;
}

String String::Substring(unsigned int start) const {
    return Substring(start, GetLength());
}

void String::ReplaceRange(unsigned int position, unsigned int removeCount,
                          const unsigned int* values, unsigned int count) {
    const unsigned int length = GetLength();
    const unsigned int tail = length - position - removeCount;
    if (count > removeCount) {
        if (count - removeCount > UINT_MAX - length) {
            FatalError();
        }
        codePoints.Resize(length + (count - removeCount));
    }
    unsigned int* const data = codePoints.GetData();
    if (count != removeCount && tail != 0) {
        std::memmove(data + position + count, data + position + removeCount,
                     tail * sizeof(unsigned int));
    }
    if (count != 0) {
        std::memcpy(data + position, values, count * sizeof(unsigned int));
    }
    if (count < removeCount) {
        codePoints.Truncate(length - (removeCount - count));
    }
}

}  // namespace qz::common
