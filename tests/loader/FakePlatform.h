#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qz::loadertest {

/// A counting stand-in for the platform layer, linked instead of the real one. The registry
/// holds whatever the test sets; a successful load yields the fake service library linked into
/// the test program, whose entry points FindExport hands out unless told they are missing.
struct FakePlatform {
    // What the registry read reports and, for kFound, the value.
    veltoclient::platform::RegistryRead registryResult =
        veltoclient::platform::RegistryRead::kKeyMissing;
    std::string registryValue;
    bool loadSucceeds = true;
    std::vector<std::string> missingExports;

    // What the binding asked for.
    int registryReads = 0;
    std::string keyRead;
    std::string valueRead;
    unsigned int bufferSize = 0;
    std::vector<std::string> loadedPaths;
    std::vector<std::string> lookups;
};

/// The process's one fake platform.
FakePlatform& Platform();

/// The library handle a successful fake load returns.
void* FakeLibraryHandle();

}  // namespace qz::loadertest
