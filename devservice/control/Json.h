#pragma once

#include <string>

namespace qz::devservice {

/// Builds one JSON object member by member, in the order given; keys are the callers' own
/// ASCII names. Text is escaped so that every line is valid UTF-8 JSON whatever a game passed.
class JsonObject {
public:
    JsonObject& Number(const std::string& key, unsigned long long value);
    JsonObject& Boolean(const std::string& key, bool value);
    JsonObject& Null(const std::string& key);
    /// 8-bit text, read up to its 0 or kMaxTextUnits; bytes from 0x80 are written as \u00XX.
    /// Null gives null.
    JsonObject& Text(const std::string& key, const char* text);
    /// UTF-16 text, read up to its 0 or kMaxTextUnits, every unit outside ASCII as \uXXXX.
    /// Null gives null.
    JsonObject& Utf16(const std::string& key, const unsigned short* text);
    JsonObject& Object(const std::string& key, const JsonObject& value);

    /// The object, "{...}".
    std::string Json() const;

    /// The most units of game text a line shows.
    static constexpr unsigned int kMaxTextUnits = 256;

private:
    void Key(const std::string& key);

    std::string members;
};

}  // namespace qz::devservice
