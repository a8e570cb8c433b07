#include "control/Settings.h"

#include "storage/Platform.h"
#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

// Every variable, in the order they are read and reported.
constexpr const char* kVariables[] = {
    "VYKARIS_DEVSERVICE_DIR",
    "VYKARIS_DEVSERVICE_LATENCY",
    "VYKARIS_DEVSERVICE_IMMEDIATE",
    "VYKARIS_DEVSERVICE_FAULTS",
    "VYKARIS_DEVSERVICE_LOG",
    "VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES",
    "VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES",
    "VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES",
};

std::string Ignored(const std::string& name, const std::string& value,
                    const std::string& expected) {
    return "ignoring " + name + "=\"" + value + "\" (expected " + expected + ")";
}

bool ParseLimit(const std::string& name, const std::string& value, unsigned long long& limit,
                std::string& problem) {
    if (!ParseDecimal(value, kNoLimit, limit)) {
        problem = Ignored(name, value, "a decimal number from 0 to 18446744073709551615");
        return false;
    }
    return true;
}

}  // namespace

bool ParseSetting(const std::string& name, const std::string& value, Settings& settings,
                  std::string& problem) {
    if (name == "VYKARIS_DEVSERVICE_DIR") {
        settings.directory = value;
    } else if (name == "VYKARIS_DEVSERVICE_LATENCY") {
        if (!ParseLatencies(value, settings.latency)) {
            problem =
                Ignored(name, value,
                        "a number of Update calls, or <kind>:<number> items separated by commas");
            return false;
        }
    } else if (name == "VYKARIS_DEVSERVICE_IMMEDIATE") {
        if (value != "1" && value != "0") {
            problem = Ignored(name, value, "1 or 0");
            return false;
        }
        settings.immediate = value == "1";
    } else if (name == "VYKARIS_DEVSERVICE_FAULTS") {
        std::string error;
        if (!ParseFaultRules(value, settings.faults, error)) {
            problem = Ignored(name, value, error);
            return false;
        }
    } else if (name == "VYKARIS_DEVSERVICE_LOG") {
        settings.logPath = value;
    } else if (name == "VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES") {
        return ParseLimit(name, value, settings.quotas.maxSavegameBytes, problem);
    } else if (name == "VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES") {
        return ParseLimit(name, value, settings.quotas.maxProductBytes, problem);
    } else if (name == "VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES") {
        return ParseLimit(name, value, settings.quotas.maxProductSavegames, problem);
    } else {
        problem = "no setting " + name;
        return false;
    }
    return true;
}

Settings ReadSettings(const SettingLookup& lookup, const std::string& defaultDirectory,
                      std::vector<std::string>& problems) {
    Settings settings;
    settings.directory = defaultDirectory;
    for (const char* name : kVariables) {
        std::string value;
        std::string problem;
        // Unset and empty both mean "the default".
        if (lookup(name, value) && !value.empty() &&
            !ParseSetting(name, value, settings, problem)) {
            problems.push_back(problem);
        }
    }
    return settings;
}

Settings ReadEnvironmentSettings(std::vector<std::string>& problems) {
    return ReadSettings(platform::GetEnvironment,
                        platform::JoinPath(platform::LibraryDirectory(), "savegames"), problems);
}

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

}  // namespace qz::devservice
