#include "FakePlatform.h"

#include <algorithm>
#include <cstring>

#include <veltodll/VeltodllEntryPoints.h>

namespace qz::loadertest {

namespace {

using veltoclient::platform::ExportAddress;
using veltoclient::platform::RegistryRead;

struct Export {
    const char* name;
    ExportAddress address;
};

const Export kExports[] = {
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) \
    {"QzVeltodll" #Name, reinterpret_cast<ExportAddress>(&QzVeltodll##Name)},
#include <veltodll/VeltodllEntryPoints.def>
};

char libraryHandle;

}  // namespace

FakePlatform& Platform() {
    static FakePlatform platform;
    return platform;
}

void* FakeLibraryHandle() {
    return &libraryHandle;
}

}  // namespace qz::loadertest

namespace qz::veltoclient::platform {

using loadertest::Platform;

RegistryRead ReadLocalMachineString(const char* keyName, const char* valueName, char* buffer,
                                    unsigned int size) {
    ++Platform().registryReads;
    Platform().keyRead = keyName;
    Platform().valueRead = valueName;
    Platform().bufferSize = size;
    std::memset(buffer, 0, size);
    if (Platform().registryResult == RegistryRead::kFound) {
        const std::string& value = Platform().registryValue;
        std::memcpy(buffer, value.c_str(), std::min<std::size_t>(value.size() + 1, size));
    }
    return Platform().registryResult;
}

void* LoadLibraryAt(const char* path) {
    Platform().loadedPaths.push_back(path);
    return Platform().loadSucceeds ? loadertest::FakeLibraryHandle() : nullptr;
}

ExportAddress FindExport(void* library, const char* name) {
    Platform().lookups.push_back(name);
    if (library != loadertest::FakeLibraryHandle()) {
        return nullptr;
    }
    const std::vector<std::string>& missing = Platform().missingExports;
    if (std::find(missing.begin(), missing.end(), name) != missing.end()) {
        return nullptr;
    }
    for (const auto& entry : loadertest::kExports) {
        if (std::strcmp(entry.name, name) == 0) {
            return entry.address;
        }
    }
    return nullptr;
}

}  // namespace qz::veltoclient::platform
