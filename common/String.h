#pragma once

#include <string>

#include "common/HybridArray.h"
#include "common/IArray.h"
#include "common/StandardDataHelper.h"

namespace qz::common {

/// True for the fixed white-space set: U+0000, U+0009..U+000D, U+0020, U+00A0, U+180E,
/// U+2000..U+200A, U+2028, U+2029, U+202F, U+205F and U+3000 (not U+0085, not U+1680).
bool IsWhitespace(unsigned int codePoint);

/// True for U+0030..U+0039.
bool IsDigit(unsigned int codePoint);

/// Text held as Unicode code points, one array element per character, converted from and to
/// UTF-8 and UTF-16 at the borders.
///
/// Decoding contract (SetUtf8, SetUtf16 and the constructors):
/// - A length of 0xFFFFFFFF means "up to the first 0 unit"; any other length is taken exactly,
///   so an explicit length may cover 0 units, which are stored as U+0000.
/// - A null text is not an error: the string becomes empty and the result is true.
/// - Malformed input leaves the string empty and returns false (the constructors drop the
///   result). Decoded values never exceed U+10FFFD.
/// - UTF-8: only the top bit of a continuation byte is tested, so 0xC3 0xE9 gives U+00E9;
///   overlong forms (C0, C1, three-byte values below U+0800) are refused, three-byte surrogate
///   values U+D800..U+DFFF are accepted, U+10FFFE and U+10FFFF are refused.
/// - UTF-16: unpaired surrogates and pairs above U+10FFFD are refused.
///
/// Encoding (GetUtf8, GetUtf16) skips stored values above U+10FFFF and writes into a per-string
/// buffer that the next call of the same operation rebuilds; the returned address stays valid
/// until then or until the string is destroyed. Copies never carry these buffers.
///
/// A `char` argument is widened as a signed 8-bit value, so bytes 0x80..0xFF become
/// 0xFFFFFF80..0xFFFFFFFF, which no decoder produces and both encoders skip.
class String {
public:
    String();
    String(const String& other);
    /// Decodes UTF-8 as SetUtf8 does; malformed input gives an empty string.
    String(const char* text, unsigned int length = 0xFFFFFFFF);
    /// Decodes all bytes of `text` as UTF-8, 0 bytes included.
    String(const std::string& text);
    /// Decodes UTF-16 as SetUtf16 does; malformed input gives an empty string.
    String(const unsigned short* text, unsigned int length = 0xFFFFFFFF);
    ~String();

    /// Copies the code points only; the output buffers stay as they are.
    String& operator=(const String& other);

    /// Replaces the content by the decoded UTF-8 text; false (and empty) when malformed.
    bool SetUtf8(const char* text, unsigned int length);
    /// Replaces the content by the decoded UTF-16 text; false (and empty) when malformed.
    bool SetUtf16(const unsigned short* text, unsigned int length);
    /// Replaces the content by the values as they are, unchecked. Always true.
    bool SetUtf32(const unsigned int* text, unsigned int length);
    void Clear();

    unsigned int GetLength() const;
    /// The code point at `index`; 0 for an empty string whatever the index. On a non-empty
    /// string an index not below the length ends the process.
    unsigned int GetAt(unsigned int index) const;
    /// UTF-8 form followed by a 0 byte, valid until the next GetUtf8 call on this string.
    const char* GetUtf8();
    /// UTF-16 form followed by a 0 unit, valid until the next GetUtf16 call on this string.
    unsigned short* GetUtf16();

    /// Appends all of `other`'s code points, zeros included; appending itself doubles it.
    String& Append(const String& other);
    /// Appends `codePoint` unless it is 0. The value is not checked.
    String& Append(unsigned int codePoint);
    /// Appends `c` widened as a signed 8-bit value, unless it is 0.
    String& Append(const char& c);
    /// Appends the decimal text of `value` ("%u").
    String& AppendNumber(const unsigned int& value);
    /// Appends the decimal text of `value` ("%d").
    String& AppendNumber(const int& value);
    /// Appends the text of `value` with six decimals ("%f").
    String& AppendNumber(const double& value);
    String operator+(const String& other) const;

    bool operator==(const String& other) const;
    bool operator!=(const String& other) const;
    /// Lexicographic order of the code points as unsigned values; a prefix comes first.
    bool operator<(const String& other) const;
    bool StartsWith(const String& prefix) const;
    bool EndsWith(const String& suffix) const;
    /// First index at or after `start` holding `c`, else 0xFFFFFFFF.
    unsigned int Find(char c, unsigned int start = 0) const;
    /// First index at or after `start` where `pattern` occurs, else 0xFFFFFFFF. An empty
    /// pattern is never found.
    unsigned int Find(const String& pattern, unsigned int start = 0) const;
    /// Last index holding `c`, else 0xFFFFFFFF.
    unsigned int FindLast(char c) const;
    /// Replaces the first occurrence of `pattern`; an empty pattern matches at 0. True when
    /// something was replaced.
    bool ReplaceFirst(const String& pattern, const String& replacement);
    /// Replaces occurrences until none is left, searching again from the start after each
    /// one, so text that a replacement completes is replaced too ('aab', 'ab' -> 'b' gives
    /// 'b'). When `replacement` itself contains `pattern`, each occurrence in the original
    /// text is replaced once and the search goes on after the inserted text. An empty pattern
    /// replaces nothing. True when at least one replacement was made.
    bool ReplaceAll(const String& pattern, const String& replacement);
    /// Code points from `start` up to but not including `end` (lowered to the length),
    /// leaving out every U+0000; empty when `start` is above the length or not below `end`.
    String Substring(unsigned int start, unsigned int end) const;
    String Substring(unsigned int start) const;

    /// Adds the pieces between occurrences of `separator` to `parts`, empty pieces included
    /// and U+0000 left out. False, adding nothing, when the separator does not occur or the
    /// string is empty.
    bool Split(char separator, IArray<String>& parts) const;
    /// Adds the non-empty pieces between occurrences of `separator` to `parts` (U+0000 left
    /// out; an empty separator gives one piece per code point). True when `parts` is not
    /// empty afterwards, counting what it held before.
    bool Split(const String& separator, IArray<String>& parts) const;
    /// A copy without leading and trailing white space and without any U+0000.
    String Trim() const;
    /// A copy with U+0041..U+005A raised by 0x20.
    String ToLower() const;
    /// A copy with U+0061..U+007A lowered by 0x20.
    String ToUpper() const;
    /// Every code point is a digit; true for the empty string.
    bool IsDigits() const;
    /// Every code point is white space; true for the empty string.
    bool IsWhitespace() const;
    /// Decimal value of the trimmed text, modulo 2^64; 0 when any other character occurs.
    unsigned long long ToUInt64() const;
    /// ToUInt64(), or 0 when it exceeds 0xFFFFFFFF.
    unsigned int ToUInt32() const;
    /// ToUInt64(), or 0 when it exceeds 0xFFFF.
    unsigned short ToUInt16() const;
    /// Hexadecimal value of the trimmed text (no prefix), modulo 2^32; 0 when any other
    /// character occurs.
    unsigned int HexToUInt32() const;

private:
    /// The code points; never null. The array offers no const GetData.
    const unsigned int* Data() const;
    /// `c` widened as a signed 8-bit value, the way every `char` argument is compared.
    static unsigned int Widen(char c);
    /// Replaces `removeCount` code points at `position` by `count` values, moving the tail
    /// once. `values` must not point into this string.
    void ReplaceRange(unsigned int position, unsigned int removeCount, const unsigned int* values,
                      unsigned int count);

public:
    // The fields are open for inspection (tests, debuggers, tools); change them only through
    // the operations above.
    HybridArray<unsigned int, 0, StandardDataHelper<unsigned int>> codePoints;
    HybridArray<char, 0, StandardDataHelper<char>> utf8Buffer;
    HybridArray<unsigned short, 0, StandardDataHelper<unsigned short>> utf16Buffer;
};

}  // namespace qz::common
