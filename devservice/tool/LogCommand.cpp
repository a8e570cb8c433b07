// log: the call log of a session told for people, in the terminal and as an HTML page.

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tool/Commands.h"
#include "tool/LogModel.h"
#include "tool/LogPage.h"
#include "tool/LogSummary.h"

namespace qz::devservice::tool {

namespace {

// Writing the page over the log would lose the log.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::u8path(a), std::filesystem::u8path(b),
                                       error);
}

}  // namespace

const char kLogHelp[] =
    "Summarises a call log of the development service (VYKARIS_DEVSERVICE_LOG): per\n"
    "session, the requests per kind with their answer latency in Update calls and in\n"
    "milliseconds (min / median / max), the requests never answered and why, the faults that\n"
    "fired, the failures with their reasons and the discarded commits; every other call is\n"
    "counted. --html also writes one self-contained page (it loads nothing, and opens from\n"
    "the disk): a timeline per session with a bar from each request to its answer, faults and\n"
    "lost answers marked, filters by kind, and the same tables. Lines that are no events\n"
    "(damaged, cut short by a killed process, of an unknown event) are counted and skipped.";

std::string RunLog(Storage&, const Arguments& arguments) {
    std::string log;
    std::string page;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--html") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty() || !page.empty()) {
                throw UsageError("--html needs one file to write");
            }
            page = arguments[++i];
        } else if (log.empty() && !arguments[i].empty()) {
            log = arguments[i];
        } else {
            throw UsageError("one call log at a time");
        }
    }
    if (log.empty()) {
        throw UsageError("which call log?");
    }
    if (!page.empty() && SameFile(log, page)) {
        throw UsageError("the page would replace the log \"" + log + "\"");
    }
    const LogModel model = ReadLogModel(log);
    const LogSummary summary = Summarize(model);
    std::fputs(SummaryText(summary).c_str(), stdout);
    if (page.empty()) {
        return "";
    }
    const std::string name = std::filesystem::u8path(log).filename().u8string();
    const std::string html = LogPage(model, summary, "call log " + name);
    WriteFileDurably(page, std::vector<unsigned char>(html.begin(), html.end()));
    return "wrote the page \"" + page + "\"";
}

}  // namespace qz::devservice::tool
