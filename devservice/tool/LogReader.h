#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "control/JsonReader.h"

namespace qz::devservice::tool {

/// The events of the call log, as its `event` member names them.
enum class LogEventType { kSettings, kCall, kAnswer, kFault, kCommit };

/// One line of the call log: the members every line has, and the whole line for the members
/// of its kind.
struct LogEvent {
    LogEventType type = LogEventType::kCall;
    unsigned long long time = 0;
    std::optional<unsigned int> session;
    std::optional<unsigned int> request;
    std::string operation;
    JsonValue line;
};

/// The longest line read: far beyond any line the service writes but a list of tens of
/// thousands of savegames, and small enough that a hostile line costs little memory.
constexpr std::size_t kMaxLogLineBytes = 1 << 20;
/// A line this long is no damaged line of a log but a file that is no log at all.
constexpr unsigned long long kGiveUpLineBytes = 64ull << 20;

/// The lines that were not events, by cause: the summary says how many, so that a damaged log
/// never passes for a complete one.
struct SkippedLines {
    unsigned long long malformed = 0;     // not a JSON object with the members of every line
    unsigned long long tooLong = 0;       // over kMaxLogLineBytes
    unsigned long long unknownEvent = 0;  // an event this tool does not know
    bool truncatedLast = false;           // the last line has no line feed and does not parse
    /// Where reading gave up: a line ran past kGiveUpLineBytes, so the rest is no call log
    /// (a sparse or binary file) and reading it through would only take time. 0: read whole.
    unsigned long long gaveUpAt = 0;
    unsigned long long Total() const {
        return malformed + tooLong + unknownEvent + (truncatedLast ? 1 : 0);
    }
};

enum class LineVerdict { kEvent, kMalformed, kUnknownEvent };

/// One line, without its line feed, as an event.
LineVerdict ParseLogLine(std::string_view line, LogEvent& event);

using EventSink = std::function<void(const LogEvent&)>;

/// Cuts bytes into lines and hands each event on, whatever the bytes: a line longer than
/// kMaxLogLineBytes is skipped without being kept, and a last line without its line feed (a
/// process killed while writing) counts as truncated when it does not parse.
class LogLineReader {
public:
    explicit LogLineReader(EventSink sink) : sink(std::move(sink)) {}

    void Feed(const char* bytes, std::size_t count);
    /// Whether reading gave up (see SkippedLines::gaveUpAt): further input is ignored.
    bool GaveUp() const { return skipped.gaveUpAt != 0; }
    /// The end of the input; returns what was skipped.
    SkippedLines Finish();

private:
    void EndLine(bool last);

    EventSink sink;
    std::string line;
    bool overlong = false;
    unsigned long long lineBytes = 0;  // of the current line, kept or not
    unsigned long long offset = 0;     // of the input fed so far
    SkippedLines skipped;
};

/// Reads the call log at `path` (a link is followed) through `sink`; a Failure naming the
/// reason when it is no regular file or cannot be read. A FIFO or device is refused without
/// blocking.
SkippedLines ReadLogFile(const std::string& path, const EventSink& sink);

}  // namespace qz::devservice::tool
