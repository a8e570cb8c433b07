#pragma once

#include <veltoclient/VeltoClient.h>

#include "ClientLiveness.h"
#include "RequestPool.h"

/// The C client: the C++ client, the nodes that carry its C requests and the liveness that its
/// readers, writers and transfers check. Without a bound platform (`inert`) every request is
/// dropped, as the C++ client drops it, without taking a node that no answer would return.
struct veltoclient_client {
    qz::veltoclient::VeltoClient* client = nullptr;
    qz::veltoclient_c::ClientLiveness* liveness = nullptr;
    qz::veltoclient_c::RequestPool pool;
    bool inert = false;
};
