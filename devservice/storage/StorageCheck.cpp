#include "storage/StorageCheck.h"

#include "storage/Platform.h"

namespace qz::devservice {

bool CheckStorageDirectory(const std::string& directory, std::string& problem) {
    const std::string unusable = "the storage directory \"" + directory + "\" cannot be used (";
    const char* consequence =
        "): every writer will answer 3 (storage failure) and every list will be empty";
    if (!platform::CreateDirectories(directory)) {
        problem = unusable + platform::LastErrorText() + consequence;
        return false;
    }
    // A name of this process's own, which no savegame or temporary file can have; one left
    // by a killed process with the same id is replaced.
    const std::string probe = ".write-check-" + std::to_string(platform::ProcessId());
    platform::RemoveFile(directory, probe);
    platform::File file;
    if (platform::CreateNew(platform::JoinPath(directory, probe), file) !=
        platform::OpenResult::kOpened) {
        problem =
            unusable + "cannot create a file in it: " + platform::LastErrorText() + consequence;
        return false;
    }
    file.Close();
    platform::RemoveFile(directory, probe);
    return true;
}

}  // namespace qz::devservice
