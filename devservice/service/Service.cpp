#include "service/Service.h"

#include <cstdio>
#include <utility>

namespace qz::devservice {

namespace {

Service* theService = nullptr;

}  // namespace

Service::Service(Settings settings)
    : settings(std::move(settings)),
      storage(this->settings.directory),
      faults(this->settings.faults),
      log(this->settings.logPath, this->settings.directory),
      savegames(storage, this->settings.quotas) {}

Service& Service::Get() {
    if (theService == nullptr) {
        std::vector<std::string> problems;
        Settings settings = ReadEnvironmentSettings(problems);
        for (const std::string& problem : problems) {
            std::fprintf(stderr, "development service: %s\n", problem.c_str());
        }
        theService = new Service(std::move(settings));
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
