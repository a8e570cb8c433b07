#pragma once

#include <string>

#include "tool/DoctorReport.h"

namespace qz::devservice::tool::doctor {

/// How far a game's loader gets.
struct LoaderOutcome {
    /// The installation error number a game gets: 0 bound, 1 no key, 2 not loadable, 3 an
    /// entry point missing.
    unsigned int installationError = 0;
    /// The library loaded, never unloaded; null when none was.
    void* library = nullptr;
    /// The install directory as the loader reads it.
    std::string directory;
};

/// Walks the loader's way to the service library with the loader's own code (the registry
/// read, the path, the load, the 21 entry points), reporting each step and what is unusual or
/// wrong in it.
LoaderOutcome WalkLoaderWay(DoctorReport& report);

}  // namespace qz::devservice::tool::doctor
