#pragma once

#include <veltoclient/VeltoClient.h>

#include "ClientLiveness.h"
#include "RequestPool.h"

/// The C client: the C++ client, the nodes that carry its C requests and the liveness that its
/// readers, writers and transfers check. Without a bound platform (`inert`) every request is
/// dropped, as the C++ client drops it, without taking a node that no answer would return.
///
/// What a request reads (the C++ client's private part, the free nodes, `inert`) shares one
/// cache line, and the C++ client is held by value at the start: a request passes the handle on
/// as the C++ client, with no pointer to follow and no offset to add.
struct alignas(64) veltoclient_client {
    veltoclient_client() : client() {}
    /// The C++ client goes first, while the nodes it may still hold as listeners exist: once it
    /// is gone no answer reaches them.
    ~veltoclient_client() { client.~VeltoClient(); }
    veltoclient_client(const veltoclient_client&) = delete;
    veltoclient_client& operator=(const veltoclient_client&) = delete;

    // A union member is destroyed only by hand, which lets it come first yet go first.
    union {
        qz::veltoclient::VeltoClient client;
    };
    qz::veltoclient_c::RequestPool pool;
    bool inert = false;
    qz::veltoclient_c::ClientLiveness* liveness = nullptr;
};
