#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qz::devservice {

/// One JSON value, as a line of the call log holds it: a tree that owns its text.
class JsonValue {
public:
    enum class Type { kNull, kBoolean, kNumber, kString, kArray, kObject };

    Type type = Type::kNull;
    bool boolean = false;
    /// A number that is a non-negative integer up to 2^64 - 1 (everything the log writes) has
    /// `isInteger` set and its value here; any other number is kept only as a number.
    bool isInteger = false;
    unsigned long long integer = 0;
    /// Valid UTF-8 whatever the input held: a malformed byte or a lone surrogate escape is
    /// U+FFFD, so that whatever shows the text gets well-formed UTF-8.
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    /// The first member named `key` of an object; null for anything else.
    const JsonValue* Find(std::string_view key) const;
    /// The member's integer, or false when it is missing or not one.
    bool Integer(std::string_view key, unsigned long long& value) const;
    /// The member's text, or "" when it is missing or not a string.
    std::string Text(std::string_view key) const;
};

/// Deepest nesting the reader takes: the log nests three deep, and a hostile line must not
/// exhaust the stack.
constexpr std::size_t kMaxJsonDepth = 16;

/// Parses `text` as exactly one JSON value (RFC 8259, white space around it allowed) into
/// `value`; false, with `value` reset to null, for anything else or nesting deeper than
/// kMaxJsonDepth.
bool ParseJson(std::string_view text, JsonValue& value);

}  // namespace qz::devservice
