#include "control/CallLog.h"

#include "control/Settings.h"
#include "storage/Platform.h"

namespace qz::devservice {

CallLog::CallLog(const std::string& path) : opened(std::chrono::steady_clock::now()) {
    if (path.empty()) {
        return;
    }
    file = platform::CreateTextFile(path);
    if (file == nullptr) {
        std::fprintf(stderr, "development service: cannot create the call log \"%s\"\n",
                     path.c_str());
    }
}

void CallLog::Write(const char* event, std::optional<unsigned int> session,
                    std::optional<unsigned int> request, EntryPoint entry,
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
    line.Text("operation", EntryPointName(entry));
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

CallLog& TheCallLog() {
    static auto* log = new CallLog(TheSettings().logPath);
    return *log;
}

}  // namespace qz::devservice
