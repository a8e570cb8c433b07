#include "service/Service.h"

#include <cstdio>
#include <utility>

#include "control/SettingsEvent.h"
#include "storage/StorageCheck.h"

namespace qz::devservice {

namespace {

Service* theService = nullptr;

}  // namespace

Service::Service(Settings settings, const std::vector<std::string>& problems)
    : settings(std::move(settings)),
      storage(this->settings.directory),
      faults(this->settings.faults),
      log(this->settings.logPath, this->settings.directory),
      savegames(storage, this->settings.quotas) {
    log.Write("settings", std::nullopt, std::nullopt, std::nullopt,
              SettingsEvent(this->settings, problems));
}

Service& Service::Get() {
    if (theService == nullptr) {
        std::vector<std::string> problems;
        Settings settings = ReadEnvironmentSettings(problems);
        // Checked once, here, so that an unusable folder is said once rather than looking
        // like a product without savegames.
        std::string unusable;
        if (!CheckStorageDirectory(settings.directory, unusable)) {
            problems.push_back(unusable);
        }
        for (const std::string& problem : problems) {
            std::fprintf(stderr, "development service: %s\n", problem.c_str());
        }
        theService = new Service(std::move(settings), problems);
    }
    return *theService;
}

Service* Service::Existing() {
    return theService;
}

Session* Service::NewSession() {
    sessions.push_back(
        std::make_unique<Session>(*this, static_cast<unsigned int>(sessions.size() + 1)));
    return sessions.back().get();
}

unsigned int Service::NextRequestId() {
    do {
        ++lastRequestId;
    } while (lastRequestId == 0 || lastRequestId == 0xFFFFFFFF);
    return lastRequestId;
}

}  // namespace qz::devservice
