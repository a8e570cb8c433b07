#pragma once

#include <string>

namespace qz::devservice {

/// The service's settings, from environment variables.
struct Settings {
    /// Storage directory: VYKARIS_DEVSERVICE_DIR, else "savegames" beside the library file.
    std::string directory;
    /// VYKARIS_DEVSERVICE_LATENCY: Update calls an answer waits; 0 = the next one.
    unsigned int latency = 0;
    /// VYKARIS_DEVSERVICE_IMMEDIATE=1: answers are delivered from inside the request call.
    bool immediate = false;
};

/// The settings, read from the environment at the first call and kept for the process. A
/// value that cannot be parsed is reported on standard error and the default is kept.
const Settings& TheSettings();

}  // namespace qz::devservice
