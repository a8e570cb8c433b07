#include "DllLoader.h"

#include <new>

#include "ServiceLocation.h"
#include "platform/Platform.h"

namespace qz::veltoclient {

namespace {

// The binding's process-wide storage: plain data, zero before any code runs, so that loading
// the library runs nothing of ours and nothing is destroyed at exit.
DllLoader* instance = nullptr;
bool created = false;

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
    char path[kPathSize];
    switch (LocateServiceLibrary(dir, path)) {
        case ServiceLocation::kFound:
            break;
        case ServiceLocation::kKeyMissing:
            installationErrorNum = 1;
            return;
        default:
            // No usable value, or a path that does not fit: nothing is loaded.
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
