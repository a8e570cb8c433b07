// The Windows platform layer: the registry of the local machine and the system loader.

#include <windows.h>

#include <cstring>

#include "platform/Platform.h"

namespace qz::veltoclient::platform {

namespace {

// A string with a 0 inside would be cut there and name another path; trailing terminators,
// which some tools store twice, are harmless.
bool OnlyZerosFollow(const char* from, const char* to) {
    for (; from < to; ++from) {
        if (*from != '\0') {
            return false;
        }
    }
    return true;
}

}  // namespace

RegistryRead ReadLocalMachineString(const char* keyName, const char* valueName, char* buffer,
                                    unsigned int size) {
    std::memset(buffer, 0, size);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return RegistryRead::kKeyMissing;
    }
    DWORD type = REG_NONE;
    DWORD count = size;
    const LONG status =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &count);
    RegCloseKey(key);

    if (status == ERROR_MORE_DATA) {
        std::memset(buffer, 0, size);
        return RegistryRead::kUnusable;
    }
    if (status != ERROR_SUCCESS) {
        std::memset(buffer, 0, size);
        return RegistryRead::kValueMissing;
    }
    // A string stored without its terminator comes back without one; if it filled the buffer
    // there is no room left to add it.
    const char* end = static_cast<const char*>(std::memchr(buffer, '\0', size));
    if (type != REG_SZ || end == nullptr || !OnlyZerosFollow(end, buffer + count)) {
        std::memset(buffer, 0, size);
        return RegistryRead::kUnusable;
    }
    return RegistryRead::kFound;
}

void* LoadLibraryAt(const char* path) {
    return reinterpret_cast<void*>(LoadLibraryA(path));
}

ExportAddress FindExport(void* library, const char* name) {
    return reinterpret_cast<ExportAddress>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace qz::veltoclient::platform
