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
                std::vector<std::string>& problems) {
    if (!ParseDecimal(value, kNoLimit, limit)) {
        problems.push_back(Ignored(name, value, "a decimal number from 0 to 18446744073709551615"));
        return false;
    }
    return true;
}

// A list setting's bad items, each named with the whole setting so that the line stands on
// its own.
bool ReportItems(const std::string& name, const std::string& value,
                 const std::vector<std::string>& itemProblems, std::vector<std::string>& problems) {
    const std::string setting = name + "=\"" + value + "\": ";
    for (const std::string& problem : itemProblems) {
        problems.push_back(setting + problem);
    }
    return itemProblems.empty();
}

}  // namespace

bool ParseSetting(const std::string& name, const std::string& value, Settings& settings,
                  std::vector<std::string>& problems) {
    std::vector<std::string> itemProblems;
    if (name == "VYKARIS_DEVSERVICE_DIR") {
        settings.directory = value;
    } else if (name == "VYKARIS_DEVSERVICE_LATENCY") {
        ParseLatencies(value, settings.latency, itemProblems);
        return ReportItems(name, value, itemProblems, problems);
    } else if (name == "VYKARIS_DEVSERVICE_IMMEDIATE") {
        if (value != "1" && value != "0") {
            problems.push_back(Ignored(name, value, "1 or 0"));
            return false;
        }
        settings.immediate = value == "1";
    } else if (name == "VYKARIS_DEVSERVICE_FAULTS") {
        ParseFaultRules(value, settings.faults, itemProblems);
        return ReportItems(name, value, itemProblems, problems);
    } else if (name == "VYKARIS_DEVSERVICE_LOG") {
        settings.logPath = value;
    } else if (name == "VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES") {
        return ParseLimit(name, value, settings.quotas.maxSavegameBytes, problems);
    } else if (name == "VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES") {
        return ParseLimit(name, value, settings.quotas.maxProductBytes, problems);
    } else if (name == "VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES") {
        return ParseLimit(name, value, settings.quotas.maxProductSavegames, problems);
    } else {
        problems.push_back("no setting " + name);
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
        // Unset and empty both mean "the default".
        if (lookup(name, value) && !value.empty()) {
            ParseSetting(name, value, settings, problems);
        }
    }
    return settings;
}

Settings ReadEnvironmentSettings(std::vector<std::string>& problems) {
    return ReadSettings(platform::GetEnvironment,
                        platform::JoinPath(platform::LibraryDirectory(), "savegames"), problems);
}

void ParseLatencies(const std::string& text, unsigned int (&latency)[kRequestKindCount],
                    std::vector<std::string>& problems) {
    unsigned int parsed[kRequestKindCount] = {};
    bool overridden[kRequestKindCount] = {};
    unsigned int all = 0;
    const std::vector<std::string> items = Split(text, ',');
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        const std::size_t colon = item.find(':');
        unsigned long long value = 0;
        RequestKind kind = RequestKind::kList;
        // A commit has no answer to delay.
        const bool valid =
            ParseDecimal(item.substr(colon == std::string::npos ? 0 : colon + 1), 0xFFFFFFFFull,
                         value) &&
            (colon == std::string::npos ||
             (ParseRequestKind(item.substr(0, colon), kind) && kind != RequestKind::kCommit));
        if (!valid) {
            problems.push_back(ItemProblem("item", i, item,
                                           "<number> of Update calls, or <kind>:<number> with "
                                           "<kind> one of " +
                                               RequestKindList(false)));
        } else if (colon == std::string::npos) {
            all = static_cast<unsigned int>(value);
        } else {
            parsed[Index(kind)] = static_cast<unsigned int>(value);
            overridden[Index(kind)] = true;
        }
    }
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        latency[i] = overridden[i] ? parsed[i] : all;
    }
}

}  // namespace qz::devservice
