#pragma once

// Issuing a request of any kind with fixed, distinct arguments, and what the service library
// should have been given for it.

#include "FakeServiceControl.h"
#include "RecordingListener.h"

namespace qz::veltoclient::test {

/// The arguments after the request id and listener, distinct per kind so that a swapped or
/// dropped argument shows.
struct RequestArguments {
    unsigned int values[2];
    bool flag;
};

inline RequestArguments ArgumentsOf(Kind kind) {
    const unsigned int base = 1000u * (static_cast<unsigned int>(kind) + 1);
    return {{base + 1, base + 2}, kind == kSavegameWriter};
}

/// The fake service library's number for the entry point of a kind.
inline int EntryOf(Kind kind) {
    return FAKE_GetLoginDetails + static_cast<int>(kind);
}

/// How many of the two values a kind passes on.
inline int ValueCountOf(Kind kind) {
    switch (kind) {
        case kLoginDetails:
        case kNetworkTraffic:
            return 0;
        case kSavegameList:
            return 1;
        default:
            return 2;
    }
}

inline void Request(VeltoClient& client, Kind kind, unsigned int requestId,
                    RecordingListener* listener) {
    const RequestArguments args = ArgumentsOf(kind);
    switch (kind) {
        case kLoginDetails:
            client.GetLoginDetails(requestId, listener);
            break;
        case kVeltoServer:
            client.GetVeltoServer(requestId, listener, args.values[0], args.values[1]);
            break;
        case kSavegameReader:
            client.GetSavegameReader(requestId, listener, args.values[0], args.values[1]);
            break;
        case kSavegameWriter:
            client.GetSavegameWriter(requestId, listener, args.values[0], args.values[1],
                                     args.flag);
            break;
        case kSavegameList:
            client.GetSavegameList(requestId, listener, args.values[0]);
            break;
        case kRemoveSavegame:
            client.RemoveSavegame(requestId, listener, args.values[0], args.values[1]);
            break;
        case kNetworkTraffic:
            client.GetNetworkTraffic(requestId, listener);
            break;
        case kKindCount:
            break;
    }
}

inline const char* NameOf(Kind kind) {
    static const char* const names[] = {"LoginDetails",   "VeltoServer",  "SavegameReader",
                                        "SavegameWriter", "SavegameList", "RemoveSavegame",
                                        "NetworkTraffic"};
    return names[kind];
}

}  // namespace qz::veltoclient::test
