#include "FailingMalloc.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace qz::testsupport {
namespace {

bool failing = false;
unsigned int toRefuse = 0;
unsigned int refused = 0;

void* __cdecl StandInMalloc(size_t size) {
    if (failing || toRefuse > 0) {
        toRefuse -= toRefuse > 0 ? 1 : 0;
        ++refused;
        return nullptr;
    }
    return std::malloc(size);
}

// The C runtime DLLs a module takes malloc from, by compiler.
const char* const kRuntimeLibraries[] = {"ucrtbase.dll", "msvcrt.dll"};

bool IsRuntimeLibrary(const char* name) {
    for (const char* library : kRuntimeLibraries) {
        if (_stricmp(name, library) == 0) {
            return true;
        }
    }
    return false;
}

// The import address table entry of `function` from the C runtime in the loaded image at
// `base`.
void** FindRuntimeImport(unsigned char* base, const char* function) {
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (!IsRuntimeLibrary(reinterpret_cast<const char*>(base + entry->Name))) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&addresses->u1.Function);
            }
        }
    }
    return nullptr;
}

}  // namespace

bool InstallFailingMalloc(const char* module) {
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(module));
    if (base == nullptr) {
        return false;
    }
    void** slot = FindRuntimeImport(base, "malloc");
    if (slot == nullptr) {
        return false;
    }
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) {
        return false;
    }
    *slot = reinterpret_cast<void*>(&StandInMalloc);
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
    return true;
}

void SetMallocFails(bool fails) {
    failing = fails;
}

void RefuseNextMallocs(unsigned int count) {
    toRefuse = count;
}

unsigned int RefusedMallocs() {
    return refused;
}

}  // namespace qz::testsupport
