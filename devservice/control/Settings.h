#pragma once

#include <functional>
#include <string>
#include <vector>

#include "control/Faults.h"
#include "control/Quotas.h"
#include "control/RequestKinds.h"

namespace qz::devservice {

/// The service's settings, from environment variables (README.md).
struct Settings {
    /// Storage directory: VYKARIS_DEVSERVICE_DIR, else "savegames" beside the library file.
    std::string directory;
    /// VYKARIS_DEVSERVICE_LATENCY: Update calls an answer of each kind waits; 0 = the next one.
    unsigned int latency[kRequestKindCount] = {};
    /// VYKARIS_DEVSERVICE_IMMEDIATE=1: answers are delivered from inside the request call.
    bool immediate = false;
    /// VYKARIS_DEVSERVICE_FAULTS.
    std::vector<FaultRule> faults;
    /// VYKARIS_DEVSERVICE_LOG: the call log's file; empty for none.
    std::string logPath;
    /// VYKARIS_DEVSERVICE_MAX_SAVEGAME_BYTES, _MAX_PRODUCT_BYTES, _MAX_PRODUCT_SAVEGAMES.
    Quotas quotas;
};

/// Parses VYKARIS_DEVSERVICE_LATENCY: items separated by commas, each "<N>" for every kind
/// or "<kind>:<N>" for one. A malformed item, or one for a kind without answers (commit), is
/// left out and described in `problems` by its position; the others take effect.
void ParseLatencies(const std::string& text, unsigned int (&latency)[kRequestKindCount],
                    std::vector<std::string>& problems);

/// Looks up one variable: false when it is not set.
using SettingLookup = std::function<bool(const char* name, std::string& value)>;

/// Checks one setting: `value` parsed into `settings`, and a line of text in `problems` for
/// each part that cannot be. A value that cannot be parsed leaves the default; in a list
/// (faults, latency) only the bad items are left out. False when anything was left out.
bool ParseSetting(const std::string& name, const std::string& value, Settings& settings,
                  std::vector<std::string>& problems);

/// The settings from `lookup`, every problem in `problems`; unset and empty variables keep
/// their defaults. The storage directory's default is `defaultDirectory`.
Settings ReadSettings(const SettingLookup& lookup, const std::string& defaultDirectory,
                      std::vector<std::string>& problems);

/// The settings from the environment variables.
Settings ReadEnvironmentSettings(std::vector<std::string>& problems);

}  // namespace qz::devservice
