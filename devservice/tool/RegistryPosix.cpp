#include <cstdlib>
#include <vector>

#include "storage/Platform.h"
#include "tool/Commands.h"
#include "tool/Registry.h"

namespace qz::devservice::tool {

namespace {

constexpr const char* kDefaultRoot = "/etc/vykaris/registry";

std::string KeyFolder(const std::string& root) {
    return root + "/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher";
}

}  // namespace

InstallDirValue::InstallDirValue(const std::string& chosen) : root(chosen) {
    // The loader's own choice when none is given.
    if (root.empty() && !platform::GetEnvironment("VYKARIS_REGISTRY_ROOT", root)) {
        root.clear();
    }
    if (root.empty()) {
        root = kDefaultRoot;
    }
    where = KeyFolder(root) + "/InstallDir";
}

std::string InstallDirValue::EnvironmentLine() const {
    return root == kDefaultRoot ? "" : "export VYKARIS_REGISTRY_ROOT=" + root;
}

bool InstallDirValue::Set(const std::string& folder, std::string& error) const {
    if (!platform::CreateDirectories(KeyFolder(root))) {
        error = "cannot create \"" + KeyFolder(root) + "\": " + platform::LastErrorText();
        return false;
    }
    try {
        WriteFileDurably(where, std::vector<unsigned char>(folder.begin(), folder.end()));
    } catch (const Failure& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

bool InstallDirValue::Remove(bool& existed, std::string& error) const {
    switch (platform::RemoveFile(KeyFolder(root), "InstallDir")) {
        case platform::RemoveResult::kRemoved:
            existed = true;
            return true;
        case platform::RemoveResult::kMissing:
            existed = false;
            return true;
        default:
            error = "cannot delete \"" + where + "\": " + platform::LastErrorText();
            return false;
    }
}

}  // namespace qz::devservice::tool
