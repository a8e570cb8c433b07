#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "control/RequestKinds.h"
#include "tool/LogReader.h"

namespace qz::devservice::tool {

/// What became of a request by the end of the log.
enum class RequestFate {
    kAnswered,
    kLost,        // an injected fault with the answer `never`
    kNoListener,  // asked without a listener: the service answers nothing
    kWaiting,     // no answer yet when the log ends (the game stopped calling Update)
};

struct LoggedRequest {
    unsigned int id = 0;
    RequestKind kind = RequestKind::kList;
    unsigned long long callTime = 0;
    /// The session's Update calls made before the request, to count those it waited.
    unsigned long long updatesBefore = 0;
    RequestFate fate = RequestFate::kWaiting;
    unsigned long long answerTime = 0;
    /// The session's Update calls from the request to its answer, the delivering one
    /// included: 0 for an answer from inside the request call.
    unsigned long long updatesWaited = 0;
    std::optional<unsigned long long> code;  // for answers that carry a result code
    std::string reason;                      // beside a failure code, as the service gave it
    std::string faultRule;                   // the rule that fired on it, "" for none
};

struct LoggedFault {
    unsigned long long time = 0;
    std::optional<unsigned int> request;
    std::string operation;
    std::string rule;
    std::optional<unsigned long long> code;  // none: the answer is lost
};

struct LoggedCommit {
    unsigned long long time = 0;
    unsigned long long productId = 0;
    unsigned long long savegameId = 0;
    bool committed = false;
    std::string reason;
};

struct SessionLog {
    unsigned int number = 0;
    unsigned long long firstTime = 0;
    unsigned long long lastTime = 0;
    std::vector<LoggedRequest> requests;
    std::vector<LoggedFault> faults;
    std::vector<LoggedCommit> commits;
    /// Every call by operation, Update included: the calls that are no requests only count.
    std::map<std::string, unsigned long long> calls;
    unsigned long long updates = 0;
};

/// A whole call log, folded per session.
struct LogModel {
    bool hasSettings = false;
    std::vector<std::string> rules;     // the fault rules in effect
    std::vector<std::string> problems;  // of the settings, as the service reported them
    std::map<unsigned int, SessionLog> sessions;
    unsigned long long events = 0;
    unsigned long long endTime = 0;
    unsigned long long callsWithoutSession = 0;  // null or unknown sessions and handles
    unsigned long long unmatchedAnswers = 0;     // an answer to no request of the log
    SkippedLines skipped;
};

/// Builds the model event by event, in the order of the log.
class LogModelBuilder {
public:
    void Add(const LogEvent& event);
    /// The model, with `skipped` from the reader.
    LogModel Finish(const SkippedLines& skipped);

private:
    void AddCall(const LogEvent& event, SessionLog& session);
    void AddAnswer(const LogEvent& event, SessionLog& session);
    void AddFault(const LogEvent& event, SessionLog& session);
    void AddCommit(const LogEvent& event, SessionLog& session);
    LoggedRequest* Pending(unsigned int session, const std::string& operation, unsigned int id,
                           bool newest);

    LogModel model;
    // Requests without an answer yet, by session, operation and id, oldest first (a game may
    // use an id twice); indices into the session's requests.
    std::map<std::tuple<unsigned int, std::string, unsigned int>, std::deque<std::size_t>> pending;
};

/// Smallest, median (the lower middle value for an even count) and largest of some values.
struct Spread {
    unsigned long long minimum = 0;
    unsigned long long median = 0;
    unsigned long long maximum = 0;
};

/// The requests of one kind in a session, and the latency of those answered.
struct KindStatistics {
    RequestKind kind = RequestKind::kList;
    unsigned long long requests = 0;
    unsigned long long answered = 0;
    unsigned long long failed = 0;
    unsigned long long unanswered = 0;
    Spread updates;       // Update calls waited
    Spread microseconds;  // from the call to the answer
};

/// The kinds that have requests in the session, in the order of RequestKind.
std::vector<KindStatistics> KindStatisticsOf(const SessionLog& session);

/// An answered request that failed: a result code other than 0, or an injected fault (on
/// answers without a code, a fault gives an empty list, 0 bytes or zeros).
bool IsFailure(const LoggedRequest& request);

/// Why a failed request failed: the code by its name and the reason the log gives.
std::string FailureText(const LoggedRequest& request);

/// Why a request has no answer.
std::string UnansweredText(const LoggedRequest& request);

/// Reads and folds the call log at `path` (a Failure when it cannot be read).
LogModel ReadLogModel(const std::string& path);
/// Folds a call log held in memory.
LogModel FoldLog(std::string_view text);

/// The kind of a request's operation ("GetSavegameList": list); false for calls that are no
/// requests.
bool RequestKindOf(const std::string& operation, RequestKind& kind);

}  // namespace qz::devservice::tool
