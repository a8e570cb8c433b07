#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "control/EntryPointNames.h"
#include "control/Json.h"

namespace qz::devservice {

/// The call log: one JSON object per line (format in README.md), each written and flushed
/// whole, so that the file tells what the game asked and got even when the game then crashed.
class CallLog {
public:
    /// Opens `path`, replacing what it held; an empty path, or one that cannot be opened or
    /// lies inside `storageDirectory` (where it could replace a savegame; reported once on
    /// standard error), gives a log that writes nothing.
    CallLog(const std::string& path, const std::string& storageDirectory);
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    bool IsOpen() const { return file != nullptr; }

    /// Writes one line: time, `event`, session, request and operation (null when absent),
    /// then the members of `details`.
    void Write(const char* event, std::optional<unsigned int> session,
               std::optional<unsigned int> request, std::optional<EntryPoint> entry,
               const JsonObject& details);

private:
    std::FILE* file = nullptr;
    std::chrono::steady_clock::time_point opened;
};

/// Whether `path` names something inside `directory` (or the directory itself), links and
/// ".." resolved as far as the paths exist.
bool IsInside(const std::string& path, const std::string& directory);

}  // namespace qz::devservice
