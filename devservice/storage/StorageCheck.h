#pragma once

#include <string>

namespace qz::devservice {

/// Whether savegames can be kept in `directory`: it is created when missing, and a file can be
/// made and deleted in it. False, with the path and the operating system's reason in `problem`,
/// when not: a file in its place, a read-only folder, a system folder such as /proc.
bool CheckStorageDirectory(const std::string& directory, std::string& problem);

}  // namespace qz::devservice
