#pragma once

#include <string>
#include <vector>

namespace qz::devservice {

/// Builds one JSON object member by member, in the order given; keys are the callers' own
/// ASCII names. Text is written as UTF-8 that strict JSON parsers accept, whatever a game
/// passed.
class JsonObject {
public:
    JsonObject& Number(const std::string& key, unsigned long long value);
    JsonObject& Boolean(const std::string& key, bool value);
    JsonObject& Null(const std::string& key);
    /// UTF-8 text, read up to its 0 or kMaxTextUnits bytes; a malformed byte becomes U+FFFD.
    /// Null gives null.
    JsonObject& Text(const std::string& key, const char* text);
    /// UTF-16 text, read up to its 0 or kMaxTextUnits units; a lone surrogate becomes U+FFFD.
    /// Null gives null.
    JsonObject& Utf16(const std::string& key, const unsigned short* text);
    /// The service's own UTF-8 text (a path, a setting), whole.
    JsonObject& String(const std::string& key, const std::string& text);
    /// An array of the service's own UTF-8 texts, whole.
    JsonObject& Strings(const std::string& key, const std::vector<std::string>& texts);
    JsonObject& Object(const std::string& key, const JsonObject& value);
    /// An array of objects.
    JsonObject& Objects(const std::string& key, const std::vector<JsonObject>& values);

    /// The object, "{...}".
    std::string Json() const;

    /// The most units of game text a line shows.
    static constexpr unsigned int kMaxTextUnits = 256;

private:
    void Key(const std::string& key);

    std::string members;
};

/// The length of the UTF-8 sequence at `text` (of `left` bytes, 1 or more) and its code point;
/// a malformed sequence is one byte standing for U+FFFD, so that decoding always moves on.
unsigned int DecodeUtf8(const unsigned char* text, unsigned int left, unsigned int& c);

}  // namespace qz::devservice
