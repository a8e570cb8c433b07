#include "control/SettingsEvent.h"

namespace qz::devservice {

namespace {

// No limit shows as null rather than as the largest number.
void Limit(JsonObject& object, const char* name, unsigned long long limit) {
    if (limit == kNoLimit) {
        object.Null(name);
    } else {
        object.Number(name, limit);
    }
}

}  // namespace

JsonObject SettingsEvent(const Settings& settings, const std::vector<std::string>& problems) {
    JsonObject latency;
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        const auto kind = static_cast<RequestKind>(i);
        // A commit has no answer to delay.
        if (kind != RequestKind::kCommit) {
            latency.Number(RequestKindName(kind), settings.latency[i]);
        }
    }
    std::vector<std::string> rules;
    for (const FaultRule& rule : settings.faults) {
        rules.push_back(rule.text);
    }
    JsonObject inEffect;
    inEffect.String("VYKARIS_DEVSERVICE_DIR", settings.directory)
        .Object("VYKARIS_DEVSERVICE_LATENCY", latency)
        .Boolean("VYKARIS_DEVSERVICE_IMMEDIATE", settings.immediate)
        .Strings("VYKARIS_DEVSERVICE_FAULTS", rules)
        .String("VYKARIS_DEVSERVICE_LOG", settings.logPath);
    Limit(inEffect, "VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES", settings.quotas.maxSavegameBytes);
    Limit(inEffect, "VYKARIS_DEVSERVICE_MAX_PRODUCT_BYTES", settings.quotas.maxProductBytes);
    Limit(inEffect, "VYKARIS_DEVSERVICE_MAX_PRODUCT_SAVEGAMES",
          settings.quotas.maxProductSavegames);
    JsonObject event;
    event.Object("settings", inEffect).Strings("problems", problems);
    return event;
}

}  // namespace qz::devservice
