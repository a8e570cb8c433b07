#pragma once

#include <string>

namespace qz::devservice::tool {

/// The registry value the loader reads to find the platform: `InstallDir` of the local
/// machine's key SOFTWARE\Vykaris\Launcher. On Linux the key is a folder below a registry
/// root: `root` when not empty, else the loader's own (VYKARIS_REGISTRY_ROOT, else
/// /etc/vykaris/registry); on Windows there is no root to choose.
class InstallDirValue {
public:
    explicit InstallDirValue(const std::string& root);

    /// Where the value lives, for messages.
    const std::string& Where() const { return where; }
    /// The line that makes games see this value, for the user to run ("export ..."), or ""
    /// when nothing needs doing.
    std::string EnvironmentLine() const;

    /// Sets the value to `folder`; false with the system's reason in `error`.
    bool Set(const std::string& folder, std::string& error) const;
    /// Deletes the value; `existed` says whether there was one. False with the system's
    /// reason in `error`.
    bool Remove(bool& existed, std::string& error) const;

private:
    std::string root;
    std::string where;
};

}  // namespace qz::devservice::tool
