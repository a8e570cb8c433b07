#include "DllLoader.h"

#include <cstdio>
#include <new>

#include "platform/Platform.h"

namespace qz::veltoclient {

namespace {

// The binding's process-wide storage: plain data, zero before any code runs, so that loading
// the library runs nothing of ours and nothing is destroyed at exit.
DllLoader* instance = nullptr;
bool created = false;

// Both the directory and the composed path live in buffers of the classic Windows path size.
constexpr unsigned int kPathSize = 260;
// The registry value is read into a buffer of 255 bytes, terminator included.
constexpr unsigned int kValueSize = 255;

constexpr char kLauncherKey[] = "SOFTWARE\\Vykaris\\Launcher";
constexpr char kInstallDirValue[] = "InstallDir";

// Fills `dir` (`size` bytes) with the install directory and returns whether the launcher's key
// could be opened. `usable` turns false when the value is missing, empty, no string or too long
// for its buffer: no truncated or unterminated text may become a path, and an empty directory
// would name a library at the root of the current drive, where any user may put one.
bool GetInstallDir(char* dir, unsigned int size, bool* usable) {
    char value[kValueSize] = {};
    *usable = true;
    switch (platform::ReadLocalMachineString(kLauncherKey, kInstallDirValue, value, kValueSize)) {
        case platform::RegistryRead::kKeyMissing:
            std::snprintf(dir, size, "%s", "");
            return false;
        case platform::RegistryRead::kUnusable:
        case platform::RegistryRead::kValueMissing:
            *usable = false;
            std::snprintf(dir, size, "%s", "");
            return true;
        case platform::RegistryRead::kFound:
            break;
    }
    *usable = value[0] != '\0';
    std::snprintf(dir, size, "%s", value);
    return true;
}

// Looks up one entry point. A miss clears `complete`; the caller still makes every other
// lookup, so that a partial library binds all it has.
template <typename Function>
void Bind(void* library, const char* name, Function& entry, bool& complete) {
    entry = reinterpret_cast<Function>(platform::FindExport(library, name));
    complete = complete && entry != nullptr;
}

}  // namespace

DllLoader* DllLoader::GetInstance() {
    if (created) {
        return instance;
    }
    created = true;
    void* memory;
    try {
        memory = ::operator new(sizeof(DllLoader));
    } catch (...) {
        // Not created after all: the next use tries again.
        created = false;
        throw;
    }
    DllLoader* loader = new (memory) DllLoader();
    instance = loader;
    return loader;
}

DllLoader::DllLoader() {
    Load();
}

void DllLoader::Load() {
    char dir[kPathSize];
    bool usable;
    if (!GetInstallDir(dir, kPathSize, &usable)) {
        installationErrorNum = 1;
        return;
    }
    char path[kPathSize];
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
// Truncation is possible by design and handled right below.
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
    const int length = std::snprintf(path, kPathSize, platform::kServiceLibraryPathFormat, dir);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    // A truncated path could name another file: never load one.
    if (!usable || length < 0 || static_cast<unsigned int>(length) >= kPathSize) {
        installationErrorNum = 2;
        return;
    }
    void* library = platform::LoadLibraryAt(path);
    if (library == nullptr) {
        installationErrorNum = 2;
        return;
    }

    // All 21 lookups, in this order, also after a miss.
    bool complete = true;
#define QZ_VELTODLL_ENTRY(Result, Name, Parameters, Arguments) \
    Bind(library, "QzVeltodll" #Name, Name, complete);
#include <veltodll/VeltodllEntryPoints.def>
    if (!complete) {
        installationErrorNum = 3;
    }
}

}  // namespace qz::veltoclient
