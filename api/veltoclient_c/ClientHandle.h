#pragma once

#include <veltoclient/VeltoClient.h>

#include "ClientLiveness.h"
#include "RequestPool.h"

/// The C client: the C++ client, the nodes that carry its C requests and the liveness that its
/// readers, writers and transfers check. Without a bound platform (`inert`) every request is
/// dropped, as the C++ client drops it, without taking a node that no answer would return.
///
/// What a request reads (the free nodes, the C++ client's private part, `inert`) shares one
/// cache line, and the C++ client is held by value: no pointer to follow on the way in.
struct alignas(64) veltoclient_client {
    /// Declared before the C++ client, so destroyed after it: once the C++ client is gone no
    /// answer reaches the nodes.
    qz::veltoclient_c::RequestPool pool;
    qz::veltoclient::VeltoClient client;
    bool inert = false;
    qz::veltoclient_c::ClientLiveness* liveness = nullptr;
};
