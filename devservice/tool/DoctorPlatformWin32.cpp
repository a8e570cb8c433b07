#include <windows.h>

#include <algorithm>

#include "ServiceLocation.h"
#include "storage/Platform.h"
#include "tool/DoctorPlatform.h"

namespace qz::devservice::tool::doctor {

namespace {

constexpr DWORD kMostBytes = 65536;

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_SZ:
            return "REG_SZ";
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ";
        case REG_MULTI_SZ:
            return "REG_MULTI_SZ";
        case REG_BINARY:
            return "REG_BINARY";
        case REG_DWORD:
            return "REG_DWORD";
        case REG_QWORD:
            return "REG_QWORD";
        default:
            return "type " + std::to_string(type);
    }
}

}  // namespace

StoredValue ReadStoredInstallDir() {
    StoredValue stored;
    stored.key = std::string("HKEY_LOCAL_MACHINE\\") + veltoclient::kLauncherKey;
    stored.value = veltoclient::kInstallDirValue;
    // The loader's own calls: the ANSI functions, KEY_READ, no registry view.
    HKEY key = nullptr;
    LSTATUS status =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, veltoclient::kLauncherKey, 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        stored.reason = platform::ErrorText(status);
        return stored;
    }
    std::string bytes(kMostBytes, '\0');
    DWORD type = REG_NONE;
    DWORD count = kMostBytes;
    status = RegQueryValueExA(key, veltoclient::kInstallDirValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(&bytes[0]), &count);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        stored.state = StoredValue::State::kValueMissing;
        stored.reason = platform::ErrorText(status);
        return stored;
    }
    stored.state = StoredValue::State::kFound;
    stored.type = TypeName(type);
    stored.isString = type == REG_SZ;
    bytes.resize(count);
    // The string's own terminator is no part of what it says.
    if (stored.isString && !bytes.empty() && bytes.back() == '\0') {
        bytes.pop_back();
    }
    stored.bytes = bytes;
    return stored;
}

const char kRelativeLibraryPaths[] =
    "Windows looks for it below the game's own folder, the system folders, the game's working "
    "directory and the folders of PATH, in that order";

std::string LoadFailureReason(const std::string& path) {
    const DWORD code = GetLastError();
    std::string reason = platform::LastErrorText();
    // Messages such as "Bad EXE format for %1" expect the file's name.
    const std::size_t insert = reason.find("%1");
    if (insert != std::string::npos) {
        reason.replace(insert, 2, path);
    }
    return reason + " (error " + std::to_string(code) + ")";
}

std::vector<std::pair<std::string, std::string>> DevServiceVariables() {
    std::vector<std::pair<std::string, std::string>> variables;
    wchar_t* block = GetEnvironmentStringsW();
    if (block == nullptr) {
        return variables;
    }
    const std::size_t prefixLength = sizeof kVariablePrefix - 1;
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::string text = platform::Narrow(entry, static_cast<int>(wcslen(entry)));
        // Names are not case sensitive here: the service reads vykaris_devservice_dir too.
        // The first '=' may begin a name (=C:), so the search starts after it.
        const std::size_t equals = text.find('=', 1);
        std::string name = text.substr(0, equals);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
        if (equals != std::string::npos && name.compare(0, prefixLength, kVariablePrefix) == 0) {
            variables.emplace_back(name, text.substr(equals + 1));
        }
    }
    FreeEnvironmentStringsW(block);
    std::sort(variables.begin(), variables.end());
    return variables;
}

}  // namespace qz::devservice::tool::doctor
