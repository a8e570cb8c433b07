#pragma once

#include <optional>
#include <string>
#include <vector>

// A plain model of the search, replace, substring and split rules over std::u32string, written
// step by step from the documented algorithms and independent of `String`.
namespace qz::common::testing::model {

constexpr unsigned int kNotFound = 0xFFFFFFFF;

inline char32_t Widen(char c) {
    return static_cast<char32_t>(static_cast<unsigned int>(static_cast<signed char>(c)));
}

inline bool MatchesAt(const std::u32string& text, const std::u32string& pattern, size_t at) {
    if (at + pattern.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (text[at + i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

inline unsigned int Find(const std::u32string& text, const std::u32string& pattern,
                         unsigned int start) {
    if (pattern.empty() || pattern.size() > text.size() || start >= text.size()) {
        return kNotFound;
    }
    for (size_t p = start; p + pattern.size() <= text.size(); ++p) {
        if (MatchesAt(text, pattern, p)) {
            return static_cast<unsigned int>(p);
        }
    }
    return kNotFound;
}

inline unsigned int Find(const std::u32string& text, char c, unsigned int start) {
    for (size_t p = start; p < text.size(); ++p) {
        if (text[p] == Widen(c)) {
            return static_cast<unsigned int>(p);
        }
    }
    return kNotFound;
}

inline unsigned int FindLast(const std::u32string& text, char c) {
    for (size_t p = text.size(); p > 0; --p) {
        if (text[p - 1] == Widen(c)) {
            return static_cast<unsigned int>(p - 1);
        }
    }
    return kNotFound;
}

inline bool ReplaceFirst(std::u32string& text, const std::u32string& pattern,
                         const std::u32string& replacement) {
    if (pattern.size() > text.size()) {
        return false;
    }
    for (size_t p = 0; p + pattern.size() <= text.size(); ++p) {
        if (MatchesAt(text, pattern, p)) {
            text.erase(p, pattern.size());
            text.insert(p, replacement);
            return true;
        }
    }
    return false;
}

/// Searching again from the start after each round can keep recreating the pattern when the
/// replacement overlaps it ('abc' -> 'bcaa' on 'abcabc' grows without end), so the model gives
/// up, returning nothing, once the text passes `maxLength` or the rounds pass `maxRounds`.
/// Callers then leave that input out.
inline std::optional<bool> ReplaceAll(std::u32string& text, const std::u32string& pattern,
                                      const std::u32string& replacement, size_t maxLength = 4096,
                                      size_t maxRounds = 4096) {
    if (pattern.empty()) {
        return false;
    }
    bool replaced = false;
    if (Find(replacement, pattern, 0) != kNotFound) {
        // Once per original occurrence, going on after the inserted text.
        size_t from = 0;
        while (from < text.size()) {
            const unsigned int at = Find(text, pattern, static_cast<unsigned int>(from));
            if (at == kNotFound) {
                break;
            }
            text.erase(at, pattern.size());
            text.insert(at, replacement);
            from = at + replacement.size();
            replaced = true;
        }
        return replaced;
    }
    for (size_t round = 0; ReplaceFirst(text, pattern, replacement); ++round) {
        if (text.size() > maxLength || round > maxRounds) {
            return std::nullopt;
        }
        replaced = true;
    }
    return replaced;
}

inline std::u32string Substring(const std::u32string& text, unsigned int start, unsigned int end) {
    std::u32string result;
    if (start > text.size() || start >= end) {
        return result;
    }
    if (end > text.size()) {
        end = static_cast<unsigned int>(text.size());
    }
    for (size_t i = start; i < end; ++i) {
        if (text[i] != 0) {
            result += text[i];
        }
    }
    return result;
}

inline bool Split(const std::u32string& text, char separator, std::vector<std::u32string>& parts) {
    if (text.empty()) {
        return false;
    }
    std::vector<std::u32string> found;
    std::u32string piece;
    bool any = false;
    for (const char32_t c : text) {
        if (c == Widen(separator)) {
            found.push_back(piece);
            piece.clear();
            any = true;
        } else if (c != 0) {
            piece += c;
        }
    }
    if (!any) {
        return false;
    }
    found.push_back(piece);
    parts.insert(parts.end(), found.begin(), found.end());
    return true;
}

inline bool Split(const std::u32string& text, const std::u32string& separator,
                  std::vector<std::u32string>& parts) {
    std::u32string token;
    for (const char32_t c : text) {
        if (c != 0) {
            token += c;
        }
        if (token == separator) {
            token.clear();
        } else if (token.size() >= separator.size() &&
                   token.compare(token.size() - separator.size(), separator.size(), separator) ==
                       0) {
            parts.push_back(token.substr(0, token.size() - separator.size()));
            token.clear();
        }
    }
    if (!token.empty() && token != separator) {
        parts.push_back(token);
    }
    return !parts.empty();
}

}  // namespace qz::common::testing::model
