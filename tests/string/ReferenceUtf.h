#pragma once

#include <optional>
#include <string>

// Byte-at-a-time converters written straight from the documented rules of `String`, with none
// of the library's fast paths. Tests and fuzz targets compare the library against them.
namespace qz::common::testing {

/// Decodes UTF-8 one byte at a time; nothing when the input is malformed.
inline std::optional<std::u32string> ReferenceDecodeUtf8(const std::string& bytes) {
    std::u32string out;
    unsigned int expected = 0;  // length of the current sequence, 0 between sequences
    unsigned int read = 0;
    unsigned int value = 0;
    for (const char byte : bytes) {
        const unsigned int b = static_cast<unsigned char>(byte);
        if (expected == 0) {
            if (b == 0xC0 || b == 0xC1 || b >= 0xF5) {
                return std::nullopt;
            }
            if (b < 0x80) {
                out += static_cast<char32_t>(b);
                continue;
            }
            if ((b & 0xE0) == 0xC0) {
                expected = 2;
                value = (b & 0x1F) << 6;
            } else if ((b & 0xF0) == 0xE0) {
                expected = 3;
                value = (b & 0x0F) << 12;
            } else if ((b & 0xF8) == 0xF0) {
                expected = 4;
                value = (b & 0x07) << 18;
            } else {
                return std::nullopt;
            }
            read = 1;
            continue;
        }
        if (b < 0x80) {
            return std::nullopt;
        }
        ++read;
        value |= (b & 0x3F) << (6 * (expected - read));
        if (read < expected) {
            continue;
        }
        if ((expected == 3 && value < 0x800) ||
            (expected == 4 && (value < 0x10000 || value > 0x10FFFD))) {
            return std::nullopt;
        }
        out += static_cast<char32_t>(value);
        expected = 0;
    }
    if (expected != 0) {
        return std::nullopt;
    }
    return out;
}

/// Decodes UTF-16 one unit at a time; nothing when the input is malformed.
inline std::optional<std::u32string> ReferenceDecodeUtf16(const std::u16string& units) {
    std::u32string out;
    unsigned int lead = 0;  // pending lead surrogate, 0 when none
    for (const char16_t unit : units) {
        const unsigned int u = unit;
        if (lead == 0) {
            if (u < 0xD800 || u > 0xDFFF) {
                out += static_cast<char32_t>(u);
            } else if (u <= 0xDBFF) {
                lead = u;
            } else {
                return std::nullopt;
            }
            continue;
        }
        if (u < 0xDC00 || u > 0xDFFF) {
            return std::nullopt;
        }
        const unsigned int value = 0x10000 + ((lead - 0xD800) << 10) + (u - 0xDC00);
        if (value > 0x10FFFD) {
            return std::nullopt;
        }
        out += static_cast<char32_t>(value);
        lead = 0;
    }
    if (lead != 0) {
        return std::nullopt;
    }
    return out;
}

/// Encodes code points as UTF-8, skipping values above U+10FFFF.
inline std::string ReferenceEncodeUtf8(const std::u32string& codePoints) {
    std::string out;
    for (const char32_t cp : codePoints) {
        const unsigned int c = cp;
        if (c <= 0x7F) {
            out += static_cast<char>(c);
        } else if (c <= 0x7FF) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c <= 0xFFFF) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c <= 0x10FFFF) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

/// Encodes code points as UTF-16, skipping values above U+10FFFF.
inline std::u16string ReferenceEncodeUtf16(const std::u32string& codePoints) {
    std::u16string out;
    for (const char32_t cp : codePoints) {
        const unsigned int c = cp;
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else if (c <= 0x10FFFF) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return out;
}

}  // namespace qz::common::testing
