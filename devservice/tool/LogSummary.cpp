#include "tool/LogSummary.h"

#include <algorithm>
#include <cstdio>

namespace qz::devservice::tool {

namespace {

std::string SpreadText(const Spread& spread, std::string (*show)(unsigned long long)) {
    return show(spread.minimum) + " / " + show(spread.median) + " / " + show(spread.maximum);
}

std::string Decimal(unsigned long long value) {
    return std::to_string(value);
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        joined += (joined.empty() ? "" : ", ") + text;
    }
    return joined;
}

std::string RequestText(const std::optional<unsigned int>& request) {
    return request ? std::to_string(*request) : "-";
}

SummaryTable KindTable(const SessionLog& session) {
    SummaryTable table{
        "requests per kind (latency of the answered: min / median / max)",
        {"kind", "requests", "answered", "failed", "unanswered", "Update calls", "milliseconds"},
        {}};
    for (const KindStatistics& kind : KindStatisticsOf(session)) {
        const bool any = kind.answered > 0;
        table.rows.push_back({RequestKindName(kind.kind), Decimal(kind.requests),
                              Decimal(kind.answered), Decimal(kind.failed),
                              Decimal(kind.unanswered),
                              any ? SpreadText(kind.updates, Decimal) : "-",
                              any ? SpreadText(kind.microseconds, Milliseconds) : "-"});
    }
    return table;
}

SummaryTable UnansweredTable(const SessionLog& session) {
    SummaryTable table{"never answered", {"request", "kind", "at ms", "why"}, {}};
    for (const LoggedRequest& request : session.requests) {
        if (request.fate != RequestFate::kAnswered) {
            table.rows.push_back({Decimal(request.id), RequestKindName(request.kind),
                                  Milliseconds(request.callTime), UnansweredText(request)});
        }
    }
    return table;
}

SummaryTable FaultTable(const SessionLog& session) {
    SummaryTable table{
        "faults that fired", {"at ms", "request", "operation", "answer", "rule"}, {}};
    for (const LoggedFault& fault : session.faults) {
        table.rows.push_back({Milliseconds(fault.time), RequestText(fault.request), fault.operation,
                              fault.code ? "code " + Decimal(*fault.code) : "lost", fault.rule});
    }
    return table;
}

SummaryTable FailureTable(const SessionLog& session) {
    SummaryTable table{"failures", {"request", "kind", "answered at ms", "result"}, {}};
    for (const LoggedRequest& request : session.requests) {
        if (IsFailure(request)) {
            table.rows.push_back({Decimal(request.id), RequestKindName(request.kind),
                                  Milliseconds(request.answerTime), FailureText(request)});
        }
    }
    return table;
}

SummaryTable DiscardedTable(const SessionLog& session) {
    SummaryTable table{"commits discarded", {"at ms", "product", "savegame", "reason"}, {}};
    for (const LoggedCommit& commit : session.commits) {
        if (!commit.committed) {
            table.rows.push_back({Milliseconds(commit.time), Decimal(commit.productId),
                                  Decimal(commit.savegameId), commit.reason});
        }
    }
    return table;
}

// "calls 15 (Update 9, GetRequestUniqueId 3, ...)", the most frequent first.
std::string CallsText(const SessionLog& session) {
    std::vector<std::pair<std::string, unsigned long long>> calls(session.calls.begin(),
                                                                  session.calls.end());
    std::stable_sort(calls.begin(), calls.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    unsigned long long total = 0;
    std::vector<std::string> counts;
    for (const auto& [operation, count] : calls) {
        total += count;
        counts.push_back(operation + " " + Decimal(count));
    }
    return "calls " + Decimal(total) + (counts.empty() ? "" : " (" + Joined(counts) + ")");
}

std::string CommitsText(const SessionLog& session) {
    const auto committed = static_cast<unsigned long long>(std::count_if(
        session.commits.begin(), session.commits.end(), [](const auto& c) { return c.committed; }));
    return "commits " + Decimal(committed) + " committed, " +
           Decimal(session.commits.size() - committed) + " discarded";
}

std::string SkippedText(const SkippedLines& skipped) {
    std::vector<std::string> causes;
    if (skipped.malformed > 0) {
        causes.push_back(Decimal(skipped.malformed) + " not a log line");
    }
    if (skipped.tooLong > 0) {
        causes.push_back(Decimal(skipped.tooLong) + " longer than " +
                         Decimal(kMaxLogLineBytes / 1024) + " KiB");
    }
    if (skipped.unknownEvent > 0) {
        causes.push_back(Decimal(skipped.unknownEvent) + " of an unknown event");
    }
    if (skipped.gaveUpAt != 0) {
        causes.push_back("reading stopped at byte " + Decimal(skipped.gaveUpAt) +
                         ", in a line longer than " + Decimal(kGiveUpLineBytes >> 20) +
                         " MiB: the rest is no call log");
    }
    if (skipped.truncatedLast) {
        causes.push_back("the last one cut short (the process was killed while writing it)");
    }
    return "lines skipped " + Decimal(skipped.Total()) + ": " + Joined(causes);
}

std::vector<std::string> Notes(const LogModel& model) {
    std::vector<std::string> notes;
    notes.push_back("events " + Decimal(model.events) + ", sessions " +
                    Decimal(model.sessions.size()) + ", until " + Milliseconds(model.endTime) +
                    " ms");
    if (!model.hasSettings) {
        notes.push_back("no settings line: the log's start is missing");
    } else {
        notes.push_back("fault rules: " + (model.rules.empty() ? "none" : Joined(model.rules)));
    }
    for (const std::string& problem : model.problems) {
        notes.push_back("settings problem: " + problem);
    }
    if (model.skipped.Total() > 0) {
        notes.push_back(SkippedText(model.skipped));
    }
    if (model.callsWithoutSession > 0) {
        notes.push_back("calls on a null or unknown session or handle (they do nothing): " +
                        Decimal(model.callsWithoutSession));
    }
    if (model.unmatchedAnswers > 0) {
        notes.push_back("answers to no request of the log: " + Decimal(model.unmatchedAnswers));
    }
    return notes;
}

// The width a cell takes on a terminal: one column per code point.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// C0 and C1 controls and DEL escaped; the text is valid UTF-8 already.
std::string Printable(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        unsigned int control = 0x100;
        if (byte < 0x20 || byte == 0x7F) {
            control = byte;
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            control = static_cast<unsigned char>(text[++i]);
        }
        if (control == 0x100) {
            out += text[i];
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", control);
        out += escaped;
    }
    return out;
}

void AppendTable(std::string& out, const SummaryTable& table) {
    std::vector<std::size_t> widths;
    for (const std::string& column : table.columns) {
        widths.push_back(Width(column));
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : table.rows) {
        rows.emplace_back();
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            rows.back().push_back(Printable(row[i]));
            widths[i] = std::max(widths[i], Width(rows.back().back()));
        }
    }
    out += "  " + table.title + "\n";
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text = "  ";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += "  " + cells[i];
            if (i + 1 < cells.size()) {
                text.append(widths[i] - Width(cells[i]), ' ');
            }
        }
        out += text + "\n";
    };
    line(table.columns);
    for (const auto& row : rows) {
        line(row);
    }
}

}  // namespace

std::string Milliseconds(unsigned long long microseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu", microseconds / 1000, microseconds % 1000);
    return text;
}

LogSummary Summarize(const LogModel& model) {
    LogSummary summary;
    summary.notes = Notes(model);
    for (const auto& [number, session] : model.sessions) {
        SessionSummary part;
        part.number = number;
        part.headline = "session " + Decimal(number) + ", " + Milliseconds(session.firstTime) +
                        " to " + Milliseconds(session.lastTime) + " ms";
        part.notes = {CallsText(session), CommitsText(session)};
        for (SummaryTable table :
             {KindTable(session), UnansweredTable(session), FaultTable(session),
              FailureTable(session), DiscardedTable(session)}) {
            if (!table.rows.empty()) {
                part.tables.push_back(std::move(table));
            }
        }
        summary.sessions.push_back(std::move(part));
    }
    return summary;
}

std::string SummaryText(const LogSummary& summary) {
    std::string out;
    for (const std::string& note : summary.notes) {
        out += Printable(note) + "\n";
    }
    for (const SessionSummary& session : summary.sessions) {
        out += "\n" + Printable(session.headline) + "\n";
        for (const std::string& note : session.notes) {
            out += "  " + Printable(note) + "\n";
        }
        for (const SummaryTable& table : session.tables) {
            AppendTable(out, table);
        }
    }
    return out;
}

}  // namespace qz::devservice::tool
