#include "tool/LogReader.h"

#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "storage/Platform.h"
#include "tool/Commands.h"

namespace qz::devservice::tool {

namespace {

struct EventName {
    const char* name;
    LogEventType type;
};

constexpr EventName kEventNames[] = {
    {"settings", LogEventType::kSettings}, {"call", LogEventType::kCall},
    {"answer", LogEventType::kAnswer},     {"fault", LogEventType::kFault},
    {"commit", LogEventType::kCommit},
};

// A session or request number, or null; false for anything else.
bool OptionalNumber(const JsonValue& line, const char* key, std::optional<unsigned int>& value) {
    const JsonValue* member = line.Find(key);
    if (member == nullptr) {
        return false;
    }
    if (member->type == JsonValue::Type::kNull) {
        value.reset();
        return true;
    }
    if (!member->isInteger || member->integer > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<unsigned int>(member->integer);
    return true;
}

}  // namespace

LineVerdict ParseLogLine(std::string_view line, LogEvent& event) {
    if (!ParseJson(line, event.line) || event.line.type != JsonValue::Type::kObject ||
        !event.line.Integer("time", event.time) ||
        !OptionalNumber(event.line, "session", event.session) ||
        !OptionalNumber(event.line, "request", event.request)) {
        return LineVerdict::kMalformed;
    }
    const JsonValue* name = event.line.Find("event");
    if (name == nullptr || name->type != JsonValue::Type::kString) {
        return LineVerdict::kMalformed;
    }
    event.operation = event.line.Text("operation");
    for (const EventName& known : kEventNames) {
        if (name->text == known.name) {
            event.type = known.type;
            return LineVerdict::kEvent;
        }
    }
    return LineVerdict::kUnknownEvent;
}

void LogLineReader::Feed(const char* bytes, std::size_t count) {
    while (count > 0 && !GaveUp()) {
        const char* end = static_cast<const char*>(std::memchr(bytes, '\n', count));
        const std::size_t take = end == nullptr ? count : static_cast<std::size_t>(end - bytes);
        lineBytes += take;
        offset += take + (end == nullptr ? 0 : 1);
        if (lineBytes > kGiveUpLineBytes) {
            skipped.gaveUpAt = offset;
            return;
        }
        if (!overlong) {
            if (line.size() + take > kMaxLogLineBytes) {
                overlong = true;
                line.clear();
                line.shrink_to_fit();
            } else {
                line.append(bytes, take);
            }
        }
        if (end == nullptr) {
            return;
        }
        EndLine(false);
        bytes += take + 1;
        count -= take + 1;
    }
}

void LogLineReader::EndLine(bool last) {
    if (overlong) {
        ++skipped.tooLong;
    } else {
        // A line written on Windows by hand, or copied through an editor, ends in CR LF.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        LogEvent event;
        switch (ParseLogLine(line, event)) {
            case LineVerdict::kEvent:
                sink(event);
                break;
            case LineVerdict::kUnknownEvent:
                ++skipped.unknownEvent;
                break;
            case LineVerdict::kMalformed:
                if (last) {
                    skipped.truncatedLast = true;
                } else if (!line.empty()) {
                    ++skipped.malformed;
                }
                break;
        }
    }
    line.clear();
    overlong = false;
    lineBytes = 0;
}

SkippedLines LogLineReader::Finish() {
    if (GaveUp()) {
        ++skipped.tooLong;
    } else if (overlong || !line.empty()) {
        EndLine(true);
    }
    return skipped;
}

SkippedLines ReadLogFile(const std::string& path, const EventSink& sink) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path resolved = fs::canonical(fs::u8path(path), error);
    if (error) {
        throw Failure("cannot read \"" + path + "\": " + error.message());
    }
    platform::File file;
    switch (platform::OpenForReading(resolved.u8string(), file)) {
        case platform::OpenResult::kOpened:
            break;
        case platform::OpenResult::kNotAFile:
            throw Failure("\"" + path + "\" is not a regular file");
        default:
            throw Failure("cannot open \"" + path + "\": " + platform::LastErrorText());
    }
    LogLineReader reader(sink);
    std::vector<char> buffer(1 << 16);
    unsigned long long offset = 0;
    while (true) {
        std::size_t got = 0;
        if (!platform::ReadAt(file, offset, buffer.data(), buffer.size(), got)) {
            throw Failure("cannot read \"" + path + "\": " + platform::LastErrorText());
        }
        reader.Feed(buffer.data(), got);
        offset += got;
        if (got < buffer.size() || reader.GaveUp()) {
            return reader.Finish();
        }
    }
}

}  // namespace qz::devservice::tool
