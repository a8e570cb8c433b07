#pragma once

#include <cstddef>
#include <string>

namespace qz::devservice {

/// The kinds of work that faults and latencies are set for, as the settings name them.
enum class RequestKind {
    kList,
    kReader,
    kRead,
    kWriter,
    kWrite,
    kCommit,
    kRemove,
    kLogin,
    kServer,
    kTraffic,
};

/// How many kinds there are, for tables indexed by kind.
constexpr std::size_t kRequestKindCount = 10;

/// The name the settings use: "list", "reader", ...
const char* RequestKindName(RequestKind kind);

/// The kind of a settings name; false for any other text.
bool ParseRequestKind(const std::string& name, RequestKind& kind);

/// The names for a message: "list, reader, ... or traffic"; `withCommit` false leaves out
/// commit, which has no answer.
std::string RequestKindList(bool withCommit);

/// A problem with item `index` (0 = the first) of a setting's list, for a message:
/// `<what> <position> "<item>" left out (expected <expected>)`.
std::string ItemProblem(const char* what, std::size_t index, const std::string& item,
                        const std::string& expected);

constexpr std::size_t Index(RequestKind kind) {
    return static_cast<std::size_t>(kind);
}

}  // namespace qz::devservice
