#pragma once

#include <memory>
#include <vector>

#include "control/CallLog.h"
#include "control/Faults.h"
#include "control/Settings.h"
#include "service/SavegameRecords.h"
#include "service/Savegames.h"
#include "service/Session.h"
#include "storage/Storage.h"

namespace qz::devservice {

/// Everything the service keeps: built from the settings, reached from each session.
class Service {
public:
    /// `problems`: what was wrong with the settings and the storage directory, for the call
    /// log's first line.
    Service(Settings settings, const std::vector<std::string>& problems);
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    /// The process's service, built from the environment at the first call that needs one
    /// (normally the first session). Never destroyed: games call in from their own static
    /// destructors, which may run after a static object of this library is gone.
    static Service& Get();
    /// The process's service, or null before the first session (when no handle can exist).
    static Service* Existing();

    /// A new session, kept until the process ends.
    Session* NewSession();
    /// 1, 2, 3, ... for the whole process, skipping 0 and 0xFFFFFFFF when it wraps.
    unsigned int NextRequestId();

    const Settings settings;
    Storage storage;
    FaultInjector faults;
    CallLog log;
    Savegames savegames;
    SavegameRecords records;

private:
    std::vector<std::unique_ptr<Session>> sessions;
    unsigned int lastRequestId = 0;
};

}  // namespace qz::devservice
