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

}  // namespace qz::devservice
