#pragma once

// Entry-point calls as lines of the call log, argument by argument, from the names of the
// entry-point list and the types of the values.

#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "control/CallLog.h"

namespace qz::devservice::logged {

/// What a call's line holds beside its operation.
struct CallLine {
    std::optional<unsigned int> session;
    std::optional<unsigned int> request;
    JsonObject arguments;
    JsonObject details;
};

/// The names in a parenthesised argument list: "(session, requestId)" gives both.
std::vector<std::string> ArgumentNames(const char* list);

/// One argument. Sessions, readers and writers set the line's session, the request id its
/// request; handles show as their numbers, records as their savegame, buffers and listeners
/// as whether they were given, text as text.
void Add(CallLine& line, const std::string& name, void* value);
void Add(CallLine& line, const std::string& name, unsigned int value);
void Add(CallLine& line, const std::string& name, bool value);
void Add(CallLine& line, const std::string& name, const char* value);
void Add(CallLine& line, const std::string& name, const unsigned short* value);
void Add(CallLine& line, const std::string& name, unsigned short* value);
template <typename Listener, typename = std::enable_if_t<std::is_class_v<Listener>>>
void Add(CallLine& line, const std::string& name, Listener* listener) {
    line.arguments.Boolean(name, listener != nullptr);
}

/// A call's return value; a pointer is the new session of GetSession.
void AddResult(CallLine& line, void* session);
void AddResult(CallLine& line, unsigned int value);
void AddResult(CallLine& line, bool value);
void AddResult(CallLine& line, const unsigned short* text);

/// Serves one entry-point call and logs it. A call without a result is logged before it is
/// served, so that answers it delivers from inside follow its line; one with a result after.
template <typename Serve, typename... Values>
auto Logged(EntryPoint entry, const char* argumentList, Serve serve,
            const std::tuple<Values...>& values) -> decltype(serve()) {
    using Result = decltype(serve());
    CallLog& log = TheCallLog();
    if (!log.IsOpen()) {
        return serve();
    }
    CallLine line;
    const std::vector<std::string> names = ArgumentNames(argumentList);
    std::size_t next = 0;
    std::apply([&](const auto&... value) { (Add(line, names[next++], value), ...); }, values);
    line.details.Object("arguments", line.arguments);
    if constexpr (std::is_void_v<Result>) {
        line.details.Null("result");
        log.Write("call", line.session, line.request, entry, line.details);
        serve();
    } else {
        const Result result = serve();
        AddResult(line, result);
        log.Write("call", line.session, line.request, entry, line.details);
        return result;
    }
}

}  // namespace qz::devservice::logged
