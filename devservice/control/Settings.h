#pragma once

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
/// or "<kind>:<N>" for one; false for malformed text or a kind without answers (commit).
bool ParseLatencies(const std::string& text, unsigned int (&latency)[kRequestKindCount]);

/// The settings, read from the environment at the first call and kept for the process. A
/// value that cannot be parsed is reported on standard error and the default is kept.
const Settings& TheSettings();

}  // namespace qz::devservice
