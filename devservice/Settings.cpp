#include "Settings.h"

#include <cstdio>

#include "Platform.h"

namespace qz::devservice {

namespace {

// Up to 4294967295 in decimal digits; anything else is refused.
bool ParseCount(const std::string& text, unsigned int& value) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    unsigned long long parsed = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        parsed = parsed * 10 + static_cast<unsigned int>(c - '0');
    }
    if (parsed > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<unsigned int>(parsed);
    return true;
}

void ReportIgnored(const char* variable, const std::string& value, const char* expected) {
    std::fprintf(stderr, "development service: ignoring %s=\"%s\" (expected %s)\n", variable,
                 value.c_str(), expected);
}

Settings ReadSettings() {
    Settings settings;
    std::string value;
    if (platform::GetEnvironment("VYKARIS_DEVSERVICE_DIR", value) && !value.empty()) {
        settings.directory = value;
    } else {
        settings.directory = platform::JoinPath(platform::LibraryDirectory(), "savegames");
    }
    if (platform::GetEnvironment("VYKARIS_DEVSERVICE_LATENCY", value) && !value.empty() &&
        !ParseCount(value, settings.latency)) {
        settings.latency = 0;
        ReportIgnored("VYKARIS_DEVSERVICE_LATENCY", value, "a number of Update calls");
    }
    if (platform::GetEnvironment("VYKARIS_DEVSERVICE_IMMEDIATE", value) && !value.empty()) {
        if (value == "1") {
            settings.immediate = true;
        } else if (value != "0") {
            ReportIgnored("VYKARIS_DEVSERVICE_IMMEDIATE", value, "1 or 0");
        }
    }
    return settings;
}

}  // namespace

const Settings& TheSettings() {
    static const Settings settings = ReadSettings();
    return settings;
}

}  // namespace qz::devservice
