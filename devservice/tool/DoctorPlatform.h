#pragma once

// What veltodev doctor needs of the operating system beyond the loader's own platform layer:
// the registry value as stored (the loader only reads it), the system's reason for a failed
// load, and the environment's development service variables. DoctorPlatformPosix.cpp and
// DoctorPlatformWin32.cpp, chosen by the build.

#include <string>
#include <utility>
#include <vector>

namespace qz::devservice::tool::doctor {

/// The InstallDir value as it is stored, before the loader reads it.
struct StoredValue {
    enum class State { kKeyMissing, kValueMissing, kFound };
    State state = State::kKeyMissing;
    /// Where the registry is: the root folder and where it comes from (Linux), or "" (Windows).
    std::string root;
    /// The key and the value, as this system names them.
    std::string key;
    std::string value;
    /// The system's reason when the key or value could not be read.
    std::string reason;
    /// The value's type ("REG_SZ", "REG_EXPAND_SZ"...; "file" on Linux) and whether the loader
    /// takes that type as a string.
    std::string type;
    bool isString = false;
    /// The stored bytes (Windows: less the string's terminator), at most 64 KiB.
    std::string bytes;
};

StoredValue ReadStoredInstallDir();

/// Right after the loader's platform layer failed to load the library at `path`: the system's
/// reason (dlerror, or the message and number of the last error).
std::string LoadFailureReason(const std::string& path);

/// Where the system looks for a library named by a relative path, for messages.
extern const char kRelativeLibraryPaths[];

/// Every VYKARIS_DEVSERVICE_* variable of the environment, in ascending name.
std::vector<std::pair<std::string, std::string>> DevServiceVariables();

/// The prefix of the development service's variables.
constexpr char kVariablePrefix[] = "VYKARIS_DEVSERVICE_";

}  // namespace qz::devservice::tool::doctor
