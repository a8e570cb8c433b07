#pragma once

// One entry-point call: its handle turned into a session, reader, writer or record once, then
// served, and logged argument by argument from the names of the entry-point list and the
// types of the values.

#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "control/CallLog.h"
#include "service/Service.h"

namespace qz::devservice {

/// What a call's handle stands for; all null for an unknown one.
struct Call {
    Service* service = nullptr;
    Session* session = nullptr;
    Reader* reader = nullptr;
    Writer* writer = nullptr;
    const Description* record = nullptr;
};

/// The call of an entry point whose first argument is `handle`.
Call ResolveHandle(EntryPoint entry, void* handle);

inline Call Resolve(EntryPoint) {
    Call call;
    call.service = &Service::Get();
    return call;
}

template <typename... Rest>
Call Resolve(EntryPoint entry, void* handle, const Rest&...) {
    return ResolveHandle(entry, handle);
}

namespace logged {

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
void Add(CallLine& line, const Call& call, const std::string& name, void* value);
void Add(CallLine& line, const Call& call, const std::string& name, unsigned int value);
void Add(CallLine& line, const Call& call, const std::string& name, bool value);
void Add(CallLine& line, const Call& call, const std::string& name, const char* value);
void Add(CallLine& line, const Call& call, const std::string& name, const unsigned short* value);
void Add(CallLine& line, const Call& call, const std::string& name, unsigned short* value);
template <typename Listener, typename = std::enable_if_t<std::is_class_v<Listener>>>
void Add(CallLine& line, const Call&, const std::string& name, Listener* listener) {
    line.arguments.Boolean(name, listener != nullptr);
}

/// A call's return value; a pointer is the new session of GetSession.
void AddResult(CallLine& line, void* session);
void AddResult(CallLine& line, unsigned int value);
void AddResult(CallLine& line, bool value);
void AddResult(CallLine& line, const unsigned short* text);

}  // namespace logged

/// Serves one entry-point call and logs it. A call without a result is logged before it is
/// served, so that answers it delivers from inside follow its line; one with a result after.
template <typename Serve, typename... Values>
auto ServeCall(EntryPoint entry, const char* argumentList, const std::tuple<Values...>& values,
               Serve serve) {
    Call call = std::apply([&](const auto&... value) { return Resolve(entry, value...); }, values);
    const auto run = [&] {
        return std::apply([&](const auto&... value) { return serve(call, value...); }, values);
    };
    using Result = decltype(run());
    if (call.service == nullptr || !call.service->log.IsOpen()) {
        return run();
    }
    logged::CallLine line;
    const std::vector<std::string> names = logged::ArgumentNames(argumentList);
    std::size_t next = 0;
    std::apply([&](const auto&... value) { (logged::Add(line, call, names[next++], value), ...); },
               values);
    line.details.Object("arguments", line.arguments);
    if constexpr (std::is_void_v<Result>) {
        line.details.Null("result");
        call.service->log.Write("call", line.session, line.request, entry, line.details);
        run();
    } else {
        const Result result = run();
        logged::AddResult(line, result);
        call.service->log.Write("call", line.session, line.request, entry, line.details);
        return result;
    }
}

}  // namespace qz::devservice
