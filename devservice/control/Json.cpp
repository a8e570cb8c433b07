#include "control/Json.h"

#include <algorithm>
#include <cstdio>

#include "storage/SavegameName.h"

namespace qz::devservice {

namespace {

constexpr unsigned int kReplacement = 0xFFFD;

// One code point: ASCII as itself or escaped, the rest as UTF-8.
void AppendCodePoint(std::string& out, unsigned int c) {
    if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
    } else if (c < 0x80) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
        out += escaped;
    } else {
        AppendUtf8(out, c);
    }
}

// The code point of the UTF-16 units at `text`; a lone surrogate is U+FFFD.
unsigned int DecodeUtf16(const unsigned short* text, unsigned int left, unsigned int& c) {
    const unsigned int unit = text[0];
    if (unit >= 0xD800 && unit <= 0xDBFF && left > 1 && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
        c = 0x10000 + ((unit - 0xD800) << 10) + (text[1] - 0xDC00u);
        return 2;
    }
    c = unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit;
    return 1;
}

unsigned int Decode(const unsigned char* text, unsigned int left, unsigned int& c) {
    return DecodeUtf8(text, left, c);
}

unsigned int Decode(const unsigned short* text, unsigned int left, unsigned int& c) {
    return DecodeUtf16(text, left, c);
}

// At most `maxUnits` units; a sequence cut by that limit counts as malformed.
template <typename Unit>
void AppendText(std::string& out, const Unit* text,
                std::size_t maxUnits = JsonObject::kMaxTextUnits) {
    std::size_t length = 0;
    while (length < maxUnits && text[length] != 0) {
        ++length;
    }
    out += '"';
    for (std::size_t i = 0; i < length;) {
        unsigned int c = 0;
        i += Decode(text + i, static_cast<unsigned int>(std::min<std::size_t>(length - i, 4)), c);
        AppendCodePoint(out, c);
    }
    out += '"';
}

}  // namespace

unsigned int DecodeUtf8(const unsigned char* text, unsigned int left, unsigned int& c) {
    const unsigned int lead = text[0];
    unsigned int extra = 0;
    unsigned int minimum = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    }
    if (extra == 0 || extra >= left) {
        c = kReplacement;
        return 1;
    }
    for (unsigned int i = 1; i <= extra; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            c = kReplacement;
            return 1;
        }
        c = (c << 6) | (text[i] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacement;
        return 1;
    }
    return extra + 1;
}

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

JsonObject& JsonObject::String(const std::string& key, const std::string& text) {
    Key(key);
    AppendText(members, reinterpret_cast<const unsigned char*>(text.c_str()), text.size());
    return *this;
}

JsonObject& JsonObject::Strings(const std::string& key, const std::vector<std::string>& texts) {
    Key(key);
    members += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        members += i == 0 ? "" : ",";
        AppendText(members, reinterpret_cast<const unsigned char*>(texts[i].c_str()),
                   texts[i].size());
    }
    members += ']';
    return *this;
}

JsonObject& JsonObject::Object(const std::string& key, const JsonObject& value) {
    Key(key);
    members += value.Json();
    return *this;
}

JsonObject& JsonObject::Objects(const std::string& key, const std::vector<JsonObject>& values) {
    Key(key);
    members += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        members += i == 0 ? "" : ",";
        members += values[i].Json();
    }
    members += ']';
    return *this;
}

std::string JsonObject::Json() const {
    return "{" + members + "}";
}

}  // namespace qz::devservice
