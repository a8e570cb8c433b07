#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool ParseDecimal(const std::string& text, unsigned long long max, unsigned long long& value) {
    if (text.empty()) {
        return false;
    }
    unsigned long long parsed = 0;
    for (const char c : text) {
        const auto digit = static_cast<unsigned int>(c - '0');
        // The whole 64-bit range, and not one past it.
        if (!IsDigit(c) || parsed > (~0ull - digit) / 10) {
            return false;
        }
        parsed = parsed * 10 + digit;
    }
    if (parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseProbability(const std::string& text, double& value) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > 1 || fraction.size() > 9) {
        return false;
    }
    double parsed = 0;
    if (!whole.empty()) {
        if (!IsDigit(whole[0])) {
            return false;
        }
        parsed = whole[0] - '0';
    }
    double scale = 0.1;
    for (const char c : fraction) {
        if (!IsDigit(c)) {
            return false;
        }
        parsed += (c - '0') * scale;
        scale /= 10;
    }
    if (parsed > 1) {
        return false;
    }
    value = parsed;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

}  // namespace qz::devservice
