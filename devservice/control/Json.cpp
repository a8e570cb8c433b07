#include "control/Json.h"

#include <cstdio>

namespace qz::devservice {

namespace {

void AppendUnit(std::string& out, unsigned int unit) {
    if (unit == '"' || unit == '\\') {
        out += '\\';
        out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x7F) {
        out += static_cast<char>(unit);
    } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", unit);
        out += escaped;
    }
}

template <typename Unit>
void AppendText(std::string& out, const Unit* text) {
    out += '"';
    for (unsigned int i = 0; i < JsonObject::kMaxTextUnits && text[i] != 0; ++i) {
        AppendUnit(out, text[i]);
    }
    out += '"';
}

}  // namespace

void JsonObject::Key(const std::string& key) {
    if (!members.empty()) {
        members += ',';
    }
    members += '"';
    members += key;
    members += "\":";
}

JsonObject& JsonObject::Number(const std::string& key, unsigned long long value) {
    Key(key);
    members += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Boolean(const std::string& key, bool value) {
    Key(key);
    members += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Null(const std::string& key) {
    Key(key);
    members += "null";
    return *this;
}

JsonObject& JsonObject::Text(const std::string& key, const char* text) {
    if (text == nullptr) {
        return Null(key);
    }
    Key(key);
    AppendText(members, reinterpret_cast<const unsigned char*>(text));
    return *this;
}

JsonObject& JsonObject::Utf16(const std::string& key, const unsigned short* text) {
    if (text == nullptr) {
        return Null(key);
    }
    Key(key);
    AppendText(members, text);
    return *this;
}

JsonObject& JsonObject::Object(const std::string& key, const JsonObject& value) {
    Key(key);
    members += value.Json();
    return *this;
}

std::string JsonObject::Json() const {
    return "{" + members + "}";
}

}  // namespace qz::devservice
