#include "tool/LogModel.h"

#include <algorithm>

namespace qz::devservice::tool {

namespace {

struct RequestOperation {
    const char* operation;
    RequestKind kind;
};

// The entry points that ask for an answer, by the name the log gives them.
constexpr RequestOperation kRequestOperations[] = {
    {"GetSavegameList", RequestKind::kList},      {"GetSavegameReader", RequestKind::kReader},
    {"SaveGameReaderRead", RequestKind::kRead},   {"GetSavegameWriter", RequestKind::kWriter},
    {"SaveGameWriterWrite", RequestKind::kWrite}, {"RemoveSavegame", RequestKind::kRemove},
    {"GetLoginDetails", RequestKind::kLogin},     {"GetVeltoServer", RequestKind::kServer},
    {"GetNetworkTraffic", RequestKind::kTraffic},
};

std::vector<std::string> Texts(const JsonValue* array) {
    std::vector<std::string> texts;
    if (array != nullptr) {
        for (const JsonValue& item : array->items) {
            if (item.type == JsonValue::Type::kString) {
                texts.push_back(item.text);
            }
        }
    }
    return texts;
}

// A listener given as null: the service takes the call and answers nothing.
bool WithoutListener(const JsonValue& line) {
    const JsonValue* arguments = line.Find("arguments");
    const JsonValue* listener = arguments == nullptr ? nullptr : arguments->Find("listener");
    return listener != nullptr && listener->type == JsonValue::Type::kBoolean && !listener->boolean;
}

Spread SpreadOf(std::vector<unsigned long long> values) {
    Spread spread;
    if (values.empty()) {
        return spread;
    }
    std::sort(values.begin(), values.end());
    spread.minimum = values.front();
    spread.median = values[(values.size() - 1) / 2];
    spread.maximum = values.back();
    return spread;
}

// The service's result codes, for people.
constexpr const char* kCodeNames[] = {
    "done", "no such savegame", "invalid request", "storage failure", "in use", "already exists",
};

}  // namespace

std::vector<KindStatistics> KindStatisticsOf(const SessionLog& session) {
    std::vector<KindStatistics> statistics;
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        KindStatistics kind;
        kind.kind = static_cast<RequestKind>(i);
        std::vector<unsigned long long> updates;
        std::vector<unsigned long long> microseconds;
        for (const LoggedRequest& request : session.requests) {
            if (request.kind != kind.kind) {
                continue;
            }
            ++kind.requests;
            if (request.fate != RequestFate::kAnswered) {
                ++kind.unanswered;
                continue;
            }
            ++kind.answered;
            kind.failed += IsFailure(request) ? 1 : 0;
            updates.push_back(request.updatesWaited);
            microseconds.push_back(request.answerTime -
                                   std::min(request.answerTime, request.callTime));
        }
        if (kind.requests > 0) {
            kind.updates = SpreadOf(std::move(updates));
            kind.microseconds = SpreadOf(std::move(microseconds));
            statistics.push_back(kind);
        }
    }
    return statistics;
}

bool IsFailure(const LoggedRequest& request) {
    return request.fate == RequestFate::kAnswered &&
           ((request.code && *request.code != 0) || !request.faultRule.empty());
}

std::string FailureText(const LoggedRequest& request) {
    std::string text;
    if (request.code) {
        text = "code " + std::to_string(*request.code);
        if (*request.code < std::size(kCodeNames)) {
            text += std::string(" (") + kCodeNames[*request.code] + ")";
        }
    }
    // A failure code 3 carries its reason; other faults name their rule only in the log's
    // fault line.
    const std::string why = !request.reason.empty()      ? request.reason
                            : !request.faultRule.empty() ? "injected fault " + request.faultRule
                                                         : "";
    if (!why.empty()) {
        text += (text.empty() ? "" : ": ") + why;
    }
    return text;
}

std::string UnansweredText(const LoggedRequest& request) {
    switch (request.fate) {
        case RequestFate::kLost:
            return "lost by fault rule " + request.faultRule;
        case RequestFate::kNoListener:
            return "asked without a listener";
        case RequestFate::kWaiting:
            return "still waiting when the log ends";
        case RequestFate::kAnswered:
            break;
    }
    return "";
}

bool RequestKindOf(const std::string& operation, RequestKind& kind) {
    for (const RequestOperation& known : kRequestOperations) {
        if (operation == known.operation) {
            kind = known.kind;
            return true;
        }
    }
    return false;
}

void LogModelBuilder::Add(const LogEvent& event) {
    ++model.events;
    model.endTime = std::max(model.endTime, event.time);
    if (event.type == LogEventType::kSettings) {
        const JsonValue* settings = event.line.Find("settings");
        model.hasSettings = true;
        model.rules =
            Texts(settings == nullptr ? nullptr : settings->Find("VYKARIS_DEVSERVICE_FAULTS"));
        model.problems = Texts(event.line.Find("problems"));
        return;
    }
    if (!event.session) {
        // Only calls go without a session: on null or unknown handles, where nothing happens.
        model.callsWithoutSession += event.type == LogEventType::kCall ? 1 : 0;
        return;
    }
    const auto [found, isNew] = model.sessions.try_emplace(*event.session);
    SessionLog& session = found->second;
    if (isNew) {
        session.number = *event.session;
        session.firstTime = event.time;
    }
    session.lastTime = std::max(session.lastTime, event.time);
    switch (event.type) {
        case LogEventType::kCall:
            AddCall(event, session);
            break;
        case LogEventType::kAnswer:
            AddAnswer(event, session);
            break;
        case LogEventType::kFault:
            AddFault(event, session);
            break;
        case LogEventType::kCommit:
            AddCommit(event, session);
            break;
        case LogEventType::kSettings:
            break;
    }
}

void LogModelBuilder::AddCall(const LogEvent& event, SessionLog& session) {
    ++session.calls[event.operation];
    if (event.operation == "Update") {
        ++session.updates;
        return;
    }
    RequestKind kind;
    if (!event.request || !RequestKindOf(event.operation, kind)) {
        return;
    }
    LoggedRequest request;
    request.id = *event.request;
    request.kind = kind;
    request.callTime = event.time;
    request.updatesBefore = session.updates;
    if (WithoutListener(event.line)) {
        request.fate = RequestFate::kNoListener;
    } else {
        pending[{session.number, event.operation, request.id}].push_back(session.requests.size());
    }
    session.requests.push_back(request);
}

LoggedRequest* LogModelBuilder::Pending(unsigned int session, const std::string& operation,
                                        unsigned int id, bool newest) {
    const auto found = pending.find({session, operation, id});
    if (found == pending.end()) {
        return nullptr;
    }
    std::deque<std::size_t>& waiting = found->second;
    const std::size_t index = newest ? waiting.back() : waiting.front();
    if (newest) {
        waiting.pop_back();
    } else {
        waiting.pop_front();
    }
    if (waiting.empty()) {
        pending.erase(found);
    }
    return &model.sessions[session].requests[index];
}

void LogModelBuilder::AddAnswer(const LogEvent& event, SessionLog& session) {
    LoggedRequest* request =
        event.request ? Pending(session.number, event.operation, *event.request, false) : nullptr;
    if (request == nullptr) {
        ++model.unmatchedAnswers;
        return;
    }
    request->fate = RequestFate::kAnswered;
    request->answerTime = event.time;
    request->updatesWaited = session.updates - request->updatesBefore;
    const JsonValue* result = event.line.Find("result");
    if (result != nullptr) {
        unsigned long long code = 0;
        if (result->Integer("code", code)) {
            request->code = code;
        }
        request->reason = result->Text("reason");
    }
}

void LogModelBuilder::AddFault(const LogEvent& event, SessionLog& session) {
    LoggedFault fault;
    fault.time = event.time;
    fault.request = event.request;
    fault.operation = event.operation;
    fault.rule = event.line.Text("rule");
    unsigned long long code = 0;
    if (event.line.Integer("code", code)) {
        fault.code = code;
    }
    session.faults.push_back(fault);
    if (!event.request) {
        return;  // a commit's: its commit line follows with the outcome
    }
    // The fault follows its request's call line, so its request is the newest with that id:
    // a lost one waits no more, a failing one goes back to wait for its answer.
    LoggedRequest* request = Pending(session.number, event.operation, *event.request, true);
    if (request == nullptr) {
        return;
    }
    request->faultRule = fault.rule;
    if (!fault.code) {
        request->fate = RequestFate::kLost;
        return;
    }
    pending[{session.number, event.operation, request->id}].push_back(
        static_cast<std::size_t>(request - session.requests.data()));
}

void LogModelBuilder::AddCommit(const LogEvent& event, SessionLog& session) {
    LoggedCommit commit;
    commit.time = event.time;
    event.line.Integer("productId", commit.productId);
    event.line.Integer("savegameId", commit.savegameId);
    commit.committed = event.line.Text("outcome") == "committed";
    commit.reason = event.line.Text("reason");
    session.commits.push_back(commit);
}

LogModel LogModelBuilder::Finish(const SkippedLines& skipped) {
    model.skipped = skipped;
    pending.clear();
    return std::move(model);
}

LogModel ReadLogModel(const std::string& path) {
    LogModelBuilder builder;
    const SkippedLines skipped =
        ReadLogFile(path, [&](const LogEvent& event) { builder.Add(event); });
    return builder.Finish(skipped);
}

LogModel FoldLog(std::string_view text) {
    LogModelBuilder builder;
    LogLineReader reader([&](const LogEvent& event) { builder.Add(event); });
    reader.Feed(text.data(), text.size());
    return builder.Finish(reader.Finish());
}

}  // namespace qz::devservice::tool
