#include "control/JsonReader.h"

#include "control/Json.h"
#include "storage/SavegameName.h"

namespace qz::devservice {

namespace {

constexpr unsigned int kReplacement = 0xFFFD;

// A recursive descent over one text; every step checks the end first, so that no input reads
// past it, and depth is bounded, so that no input exhausts the stack.
class Parser {
public:
    explicit Parser(std::string_view text) : text(text) {}

    bool Document(JsonValue& value) {
        SkipSpace();
        if (!Value(value, 0)) {
            return false;
        }
        SkipSpace();
        return position == text.size();
    }

private:
    bool AtEnd() const { return position >= text.size(); }
    char Peek() const { return text[position]; }

    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++position;
        }
    }

    bool Literal(std::string_view word) {
        if (text.substr(position, word.size()) != word) {
            return false;
        }
        position += word.size();
        return true;
    }

    bool Value(JsonValue& value, std::size_t depth) {
        if (AtEnd() || depth >= kMaxJsonDepth) {
            return false;
        }
        switch (Peek()) {
            case '{':
                value.type = JsonValue::Type::kObject;
                return Object(value, depth);
            case '[':
                value.type = JsonValue::Type::kArray;
                return Array(value, depth);
            case '"':
                value.type = JsonValue::Type::kString;
                return String(value.text);
            case 't':
                value.type = JsonValue::Type::kBoolean;
                value.boolean = true;
                return Literal("true");
            case 'f':
                value.type = JsonValue::Type::kBoolean;
                return Literal("false");
            case 'n':
                return Literal("null");
            default:
                value.type = JsonValue::Type::kNumber;
                return Number(value);
        }
    }

    // Past an object's or array's opening bracket: true when `close` follows at once.
    bool Closes(char close) {
        ++position;
        SkipSpace();
        if (!AtEnd() && Peek() == close) {
            ++position;
            return true;
        }
        return false;
    }

    // After a member or item: true at a comma (`more`) or at `close`, false at anything else.
    bool Separator(char close, bool& more) {
        SkipSpace();
        if (AtEnd()) {
            return false;
        }
        const char next = text[position++];
        more = next == ',';
        return more || next == close;
    }

    bool Object(JsonValue& value, std::size_t depth) {
        bool more = !Closes('}');
        while (more) {
            SkipSpace();
            std::string key;
            if (AtEnd() || Peek() != '"' || !String(key)) {
                return false;
            }
            SkipSpace();
            if (AtEnd() || Peek() != ':') {
                return false;
            }
            ++position;
            SkipSpace();
            value.members.emplace_back(std::move(key), JsonValue());
            if (!Value(value.members.back().second, depth + 1) || !Separator('}', more)) {
                return false;
            }
        }
        return true;
    }

    bool Array(JsonValue& value, std::size_t depth) {
        bool more = !Closes(']');
        while (more) {
            SkipSpace();
            value.items.emplace_back();
            if (!Value(value.items.back(), depth + 1) || !Separator(']', more)) {
                return false;
            }
        }
        return true;
    }

    bool Digits(std::size_t& count) {
        count = 0;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            ++position;
            ++count;
        }
        return count > 0;
    }

    // The grammar of a JSON number; a plain non-negative integer also gets its value, when it
    // fits.
    bool Number(JsonValue& value) {
        const std::size_t start = position;
        const bool negative = !AtEnd() && Peek() == '-';
        position += negative ? 1 : 0;
        std::size_t count = 0;
        const std::size_t integerStart = position;
        if (!Digits(count) || (count > 1 && text[integerStart] == '0')) {
            return false;
        }
        bool plain = !negative;
        if (!AtEnd() && Peek() == '.') {
            ++position;
            plain = false;
            if (!Digits(count)) {
                return false;
            }
        }
        if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
            ++position;
            plain = false;
            if (!AtEnd() && (Peek() == '+' || Peek() == '-')) {
                ++position;
            }
            if (!Digits(count)) {
                return false;
            }
        }
        if (plain) {
            unsigned long long integer = 0;
            bool fits = true;
            for (std::size_t i = start; i < position && fits; ++i) {
                const unsigned digit = static_cast<unsigned>(text[i] - '0');
                fits = integer <= (~0ull - digit) / 10;
                integer = integer * 10 + digit;
            }
            value.isInteger = fits;
            value.integer = fits ? integer : 0;
        }
        return true;
    }

    bool Hex4(unsigned int& unit) {
        if (text.size() - position < 4) {
            return false;
        }
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text[position++];
            unit <<= 4;
            if (c >= '0' && c <= '9') {
                unit |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                unit |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                unit |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    // \uXXXX, a surrogate pair taken whole; a lone surrogate is U+FFFD.
    bool UnicodeEscape(std::string& out) {
        unsigned int unit = 0;
        if (!Hex4(unit)) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && text.substr(position, 2) == "\\u") {
            const std::size_t before = position;
            position += 2;
            unsigned int low = 0;
            if (!Hex4(low)) {
                return false;
            }
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return true;
            }
            position = before;
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
        return true;
    }

    bool Escape(std::string& out) {
        if (AtEnd()) {
            return false;
        }
        const char c = text[position++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                return UnicodeEscape(out);
            default:
                return false;
        }
    }

    bool String(std::string& out) {
        ++position;
        while (!AtEnd()) {
            const auto byte = static_cast<unsigned char>(Peek());
            if (byte == '"') {
                ++position;
                return true;
            }
            if (byte < 0x20) {
                return false;
            }
            if (byte == '\\') {
                ++position;
                if (!Escape(out)) {
                    return false;
                }
                continue;
            }
            unsigned int c = 0;
            const std::size_t left = text.size() - position;
            position += DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data() + position),
                                   static_cast<unsigned int>(left < 4 ? left : 4), c);
            AppendUtf8(out, c);
        }
        return false;
    }

    std::string_view text;
    std::size_t position = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& member : members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

bool JsonValue::Integer(std::string_view key, unsigned long long& value) const {
    const JsonValue* member = Find(key);
    if (member == nullptr || !member->isInteger) {
        return false;
    }
    value = member->integer;
    return true;
}

std::string JsonValue::Text(std::string_view key) const {
    const JsonValue* member = Find(key);
    return member != nullptr && member->type == Type::kString ? member->text : std::string();
}

bool ParseJson(std::string_view text, JsonValue& value) {
    value = JsonValue();
    if (Parser(text).Document(value)) {
        return true;
    }
    value = JsonValue();
    return false;
}

}  // namespace qz::devservice
