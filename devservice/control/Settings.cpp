#include "control/Settings.h"

#include <cstdio>

#include "storage/Platform.h"
#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

void ReportIgnored(const char* variable, const std::string& value, const std::string& expected) {
    std::fprintf(stderr, "development service: ignoring %s=\"%s\" (expected %s)\n", variable,
                 value.c_str(), expected.c_str());
}

// Reads one variable; false when it is unset or empty, which both mean "the default".
bool Variable(const char* name, std::string& value) {
    return platform::GetEnvironment(name, value) && !value.empty();
}

void ReadLimit(const char* variable, unsigned long long& limit) {
    std::string value;
    if (Variable(variable, value) && !ParseDecimal(value, kNoLimit, limit)) {
        ReportIgnored(variable, value, "a decimal number");
    }
}

Settings ReadSettings() {
    Settings settings;
    std::string value;
    settings.directory = ConfiguredStorageDirectory();
    if (Variable("VYKARIS_DEVSERVICE_LATENCY", value) && !ParseLatencies(value, settings.latency)) {
        ReportIgnored("VYKARIS_DEVSERVICE_LATENCY", value,
                      "a number of Update calls, or <kind>:<number> items separated by commas");
    }
    if (Variable("VYKARIS_DEVSERVICE_IMMEDIATE", value)) {
        if (value == "1") {
            settings.immediate = true;
        } else if (value != "0") {
            ReportIgnored("VYKARIS_DEVSERVICE_IMMEDIATE", value, "1 or 0");
        }
    }
    std::string error;
    if (Variable("VYKARIS_DEVSERVICE_FAULTS", value) &&
        !ParseFaultRules(value, settings.faults, error)) {
        ReportIgnored("VYKARIS_DEVSERVICE_FAULTS", value, error);
    }
    if (Variable("VYKARIS_DEVSERVICE_LOG", value)) {
        settings.logPath = value;
    }
    ReadLimit("VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", settings.quotas.maxSavegameBytes);
    ReadLimit("VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES", settings.quotas.maxProductBytes);
    ReadLimit("VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES", settings.quotas.maxProductSavegames);
    return settings;
}

}  // namespace

bool ParseLatencies(const std::string& text, unsigned int (&latency)[kRequestKindCount]) {
    unsigned int parsed[kRequestKindCount] = {};
    bool overridden[kRequestKindCount] = {};
    unsigned int all = 0;
    for (const std::string& item : Split(text, ',')) {
        const std::size_t colon = item.find(':');
        unsigned long long value = 0;
        if (!ParseDecimal(item.substr(colon == std::string::npos ? 0 : colon + 1), 0xFFFFFFFFull,
                          value)) {
            return false;
        }
        if (colon == std::string::npos) {
            all = static_cast<unsigned int>(value);
            continue;
        }
        RequestKind kind;
        // A commit has no answer to delay.
        if (!ParseRequestKind(item.substr(0, colon), kind) || kind == RequestKind::kCommit) {
            return false;
        }
        parsed[Index(kind)] = static_cast<unsigned int>(value);
        overridden[Index(kind)] = true;
    }
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        latency[i] = overridden[i] ? parsed[i] : all;
    }
    return true;
}

const Settings& TheSettings() {
    static const Settings settings = ReadSettings();
    return settings;
}

}  // namespace qz::devservice
