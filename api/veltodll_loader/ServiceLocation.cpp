#include "ServiceLocation.h"

#include <cstdio>

#include "platform/Platform.h"

namespace qz::veltoclient {

namespace {

// Fills `directory` (kPathSize bytes) with the install directory, or with the empty string
// when there is none to use.
ServiceLocation GetInstallDir(char* directory) {
    char value[kValueSize] = {};
    ServiceLocation location = ServiceLocation::kFound;
    switch (platform::ReadLocalMachineString(kLauncherKey, kInstallDirValue, value, kValueSize)) {
        case platform::RegistryRead::kKeyMissing:
            location = ServiceLocation::kKeyMissing;
            break;
        case platform::RegistryRead::kValueMissing:
            location = ServiceLocation::kValueMissing;
            break;
        case platform::RegistryRead::kUnusable:
            location = ServiceLocation::kValueUnusable;
            break;
        case platform::RegistryRead::kFound:
            location = value[0] == '\0' ? ServiceLocation::kValueEmpty : ServiceLocation::kFound;
            break;
    }
    std::snprintf(directory, kPathSize, "%s", value);
    return location;
}

}  // namespace

ServiceLocation LocateServiceLibrary(char* directory, char* path) {
    path[0] = '\0';
    const ServiceLocation location = GetInstallDir(directory);
    if (location != ServiceLocation::kFound) {
        return location;
    }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
// Truncation is possible by design and handled right below.
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
    const int length =
        std::snprintf(path, kPathSize, platform::kServiceLibraryPathFormat, directory);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    if (length < 0 || static_cast<unsigned int>(length) >= kPathSize) {
        path[0] = '\0';
        return ServiceLocation::kPathTooLong;
    }
    return ServiceLocation::kFound;
}

}  // namespace qz::veltoclient
