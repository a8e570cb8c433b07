#pragma once

#include <string>
#include <vector>

#include "tool/LogModel.h"

namespace qz::devservice::tool {

/// A table of the summary, its cells as text; the terminal and the HTML page show the same.
struct SummaryTable {
    std::string title;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

struct SessionSummary {
    unsigned int number = 0;
    std::string headline;            // its number and span
    std::vector<std::string> notes;  // its calls folded into counts, its commits
    std::vector<SummaryTable> tables;
};

/// What a person reads first: the settings, what was skipped, then per session the requests
/// by kind with their latency, the requests never answered, the faults that fired, the
/// failures and the discarded commits. Empty tables are left out.
struct LogSummary {
    std::vector<std::string> notes;
    std::vector<SessionSummary> sessions;
};

LogSummary Summarize(const LogModel& model);

/// Milliseconds from microseconds, with three decimals: "1.250".
std::string Milliseconds(unsigned long long microseconds);

/// The summary as aligned plain text for a terminal. Control characters from the log are
/// shown escaped (\u001b), so that a log cannot drive the terminal.
std::string SummaryText(const LogSummary& summary);

}  // namespace qz::devservice::tool
