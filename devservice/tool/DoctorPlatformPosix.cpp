#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ServiceLocation.h"
#include "platform/Platform.h"
#include "storage/Platform.h"
#include "tool/DoctorPlatform.h"

extern char** environ;

namespace qz::devservice::tool::doctor {

namespace {

constexpr std::size_t kMostBytes = 65536;

// A regular file's first bytes; the type is checked first and the open never blocks, as the
// loader does, so that a FIFO under the value's name cannot hang the doctor.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::string& reason) {
    struct stat named;
    if (stat(path.c_str(), &named) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(named.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            reason = std::strerror(errno);
            close(fd);
            return false;
        }
        if (got == 0 || bytes.size() >= kMostBytes) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return true;
}

}  // namespace

StoredValue ReadStoredInstallDir() {
    StoredValue stored;
    std::string root;
    const bool fromVariable =
        platform::GetEnvironment("VYKARIS_REGISTRY_ROOT", root) && !root.empty();
    if (!fromVariable) {
        root = veltoclient::platform::kDefaultRegistryRoot;
    }
    stored.root = root + (fromVariable ? " (VYKARIS_REGISTRY_ROOT)"
                                       : " (the default: VYKARIS_REGISTRY_ROOT is not set)");
    stored.key = root + "/HKEY_LOCAL_MACHINE/" + veltoclient::kLauncherKey;
    std::replace(stored.key.begin() + static_cast<std::ptrdiff_t>(root.size()), stored.key.end(),
                 '\\', '/');
    stored.value = stored.key + "/" + veltoclient::kInstallDirValue;
    stored.type = "file";
    stored.isString = true;
    // The loader opens the key as a folder it can read.
    DIR* key = opendir(stored.key.c_str());
    if (key == nullptr) {
        stored.reason = std::strerror(errno);
        return stored;
    }
    closedir(key);
    stored.state = ReadRegularFile(stored.value, stored.bytes, stored.reason)
                       ? StoredValue::State::kFound
                       : StoredValue::State::kValueMissing;
    return stored;
}

const char kRelativeLibraryPaths[] = "the loader takes it relative to the game's working directory";

std::string LoadFailureReason(const std::string&) {
    // It names the path itself.
    const char* reason = dlerror();
    return reason != nullptr ? reason : "no reason given";
}

std::vector<std::pair<std::string, std::string>> DevServiceVariables() {
    std::vector<std::pair<std::string, std::string>> variables;
    const std::size_t prefixLength = sizeof kVariablePrefix - 1;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos && text.compare(0, prefixLength, kVariablePrefix) == 0) {
            variables.emplace_back(text.substr(0, equals), text.substr(equals + 1));
        }
    }
    std::sort(variables.begin(), variables.end());
    return variables;
}

}  // namespace qz::devservice::tool::doctor
