#include "control/RequestKinds.h"

namespace qz::devservice {

namespace {

// In the order of the enumeration.
constexpr const char* kNames[kRequestKindCount] = {
    "list", "reader", "read", "writer", "write", "commit", "remove", "login", "server", "traffic",
};

}  // namespace

const char* RequestKindName(RequestKind kind) {
    return kNames[Index(kind)];
}

bool ParseRequestKind(const std::string& name, RequestKind& kind) {
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        if (name == kNames[i]) {
            kind = static_cast<RequestKind>(i);
            return true;
        }
    }
    return false;
}

std::string RequestKindList(bool withCommit) {
    std::string list;
    for (std::size_t i = 0; i < kRequestKindCount; ++i) {
        if (!withCommit && static_cast<RequestKind>(i) == RequestKind::kCommit) {
            continue;
        }
        if (!list.empty()) {
            list += i + 1 == kRequestKindCount ? " or " : ", ";
        }
        list += kNames[i];
    }
    return list;
}

std::string ItemProblem(const char* what, std::size_t index, const std::string& item,
                        const std::string& expected) {
    return std::string(what) + " " + std::to_string(index + 1) + " \"" + item +
           "\" left out (expected " + expected + ")";
}

}  // namespace qz::devservice
