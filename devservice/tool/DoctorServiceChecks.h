#pragma once

#include <string>

#include "tool/DoctorReport.h"

namespace qz::devservice::tool::doctor {

/// When `library` is the development service (it has the export of service/Identity.h): every
/// VYKARIS_DEVSERVICE_* variable of the environment checked with the service's own parser, and
/// the storage directory the service will use (`installDirectory` is the folder it was loaded
/// from) resolved, made if missing as the service does, checked for writing, free space,
/// damaged savegames and leftover temporary files.
void CheckDevelopmentService(DoctorReport& report, void* library,
                             const std::string& installDirectory);

}  // namespace qz::devservice::tool::doctor
