#include "tool/LogPage.h"

#include <cstdio>

#include "control/Json.h"

namespace qz::devservice::tool {

namespace {

const char* FateName(RequestFate fate) {
    switch (fate) {
        case RequestFate::kAnswered:
            return "answered";
        case RequestFate::kLost:
            return "lost";
        case RequestFate::kNoListener:
            return "no listener";
        case RequestFate::kWaiting:
            return "waiting";
    }
    return "";
}

JsonObject RequestData(const LoggedRequest& request) {
    JsonObject data;
    data.Number("id", request.id)
        .String("kind", RequestKindName(request.kind))
        .Number("call", request.callTime)
        .String("fate", FateName(request.fate))
        .Boolean("failed", IsFailure(request));
    if (request.fate == RequestFate::kAnswered) {
        data.Number("answer", request.answerTime).Number("updates", request.updatesWaited);
        data.String("result", IsFailure(request) ? FailureText(request) : "done");
    } else {
        data.Null("answer").String("result", UnansweredText(request));
    }
    return data;
}

JsonObject FaultData(const LoggedFault& fault) {
    JsonObject data;
    data.Number("time", fault.time).String("operation", fault.operation).String("rule", fault.rule);
    if (fault.request) {
        data.Number("request", *fault.request);
    } else {
        data.Null("request");
    }
    data.String("answer", fault.code ? "code " + std::to_string(*fault.code) : "lost");
    return data;
}

JsonObject CommitData(const LoggedCommit& commit) {
    JsonObject data;
    data.Number("time", commit.time)
        .Number("product", commit.productId)
        .Number("savegame", commit.savegameId)
        .Boolean("committed", commit.committed)
        .String("reason", commit.reason);
    return data;
}

// The first kMaxDrawn items of a list as JSON objects.
template <typename Item, typename Describe>
std::vector<JsonObject> FirstItems(const std::vector<Item>& items, Describe describe) {
    std::vector<JsonObject> data;
    for (std::size_t i = 0; i < items.size() && i < kMaxDrawn; ++i) {
        data.push_back(describe(items[i]));
    }
    return data;
}

JsonObject TableData(const SummaryTable& table) {
    JsonObject data;
    data.String("title", table.title)
        .Strings("columns", table.columns)
        .Objects("rows", FirstItems(table.rows,
                                    [](const std::vector<std::string>& row) {
                                        JsonObject cells;
                                        cells.Strings("cells", row);
                                        return cells;
                                    }))
        .Number("rowCount", table.rows.size());
    return data;
}

JsonObject SessionData(const SessionLog& session, const SessionSummary& summary) {
    std::vector<JsonObject> tables;
    for (const SummaryTable& table : summary.tables) {
        tables.push_back(TableData(table));
    }
    JsonObject data;
    data.Number("number", session.number)
        .String("headline", summary.headline)
        .Strings("notes", summary.notes)
        .Number("start", session.firstTime)
        .Number("end", session.lastTime)
        .Number("requestCount", session.requests.size())
        .Objects("requests", FirstItems(session.requests, RequestData))
        .Number("faultCount", session.faults.size())
        .Objects("faults", FirstItems(session.faults, FaultData))
        .Number("commitCount", session.commits.size())
        .Objects("commits", FirstItems(session.commits, CommitData))
        .Objects("tables", tables);
    return data;
}

// Inside a script element only "</script" or "<!--" could end the data early; with every
// "<" written as an escape (and ">" and "&" for good measure) no text of the log can.
std::string ScriptSafe(const std::string& json) {
    std::string safe;
    safe.reserve(json.size());
    for (const char c : json) {
        if (c == '<' || c == '>' || c == '&') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            safe += escaped;
        } else {
            safe += c;
        }
    }
    return safe;
}

}  // namespace

std::string LogPage(const LogModel& model, const LogSummary& summary, const std::string& title) {
    std::vector<JsonObject> sessions;
    std::size_t index = 0;
    for (const auto& [number, session] : model.sessions) {
        sessions.push_back(SessionData(session, summary.sessions.at(index++)));
    }
    JsonObject data;
    data.String("title", title).Strings("notes", summary.notes).Objects("sessions", sessions);
    return LogPageFromData(ScriptSafe(data.Json()));
}

}  // namespace qz::devservice::tool
