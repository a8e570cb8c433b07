#pragma once

#include <string>
#include <vector>

#include "control/Json.h"
#include "control/Settings.h"

namespace qz::devservice {

/// The members of the call log's first line, the `settings` event: every setting as it is in
/// effect, by its variable's name, and every problem found with the settings and the storage
/// directory, so that a log shows what the session ran under.
JsonObject SettingsEvent(const Settings& settings, const std::vector<std::string>& problems);

}  // namespace qz::devservice
