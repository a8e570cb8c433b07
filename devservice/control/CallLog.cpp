#include "control/CallLog.h"

#include <filesystem>
#include <system_error>
#include "storage/Platform.h"

namespace qz::devservice {

bool IsInside(const std::string& path, const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file = fs::weakly_canonical(fs::u8path(path), error);
    const fs::path folder = fs::weakly_canonical(fs::u8path(directory), error);
    if (error) {
        return false;
    }
    const fs::path relative = file.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

CallLog::CallLog(const std::string& path, const std::string& storageDirectory)
    : opened(std::chrono::steady_clock::now()) {
    if (path.empty()) {
        return;
    }
    if (IsInside(path, storageDirectory)) {
        std::fprintf(stderr,
                     "development service: no call log: \"%s\" lies inside the storage "
                     "directory \"%s\", where it could replace a savegame\n",
                     path.c_str(), storageDirectory.c_str());
        return;
    }
    file = platform::CreateTextFile(path);
    if (file == nullptr) {
        std::fprintf(stderr, "development service: cannot create the call log \"%s\"\n",
                     path.c_str());
    }
}

void CallLog::Write(const char* event, std::optional<unsigned int> session,
                    std::optional<unsigned int> request, std::optional<EntryPoint> entry,
                    const JsonObject& details) {
    if (file == nullptr) {
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - opened);
    JsonObject line;
    line.Number("time", static_cast<unsigned long long>(elapsed.count()));
    line.Text("event", event);
    if (session) {
        line.Number("session", *session);
    } else {
        line.Null("session");
    }
    if (request) {
        line.Number("request", *request);
    } else {
        line.Null("request");
    }
    if (entry) {
        line.Text("operation", EntryPointName(*entry));
    } else {
        line.Null("operation");
    }
    std::string text = line.Json();
    const std::string rest = details.Json();
    // Both are objects: the details' members continue the line's.
    if (rest.size() > 2) {
        text.pop_back();
        text += ',';
        text.append(rest, 1, std::string::npos);
    }
    text += '\n';
    std::fputs(text.c_str(), file);
    std::fflush(file);
}

}  // namespace qz::devservice
