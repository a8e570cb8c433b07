#pragma once

#include <veltoclient/VeltoClient.h>

#include "ClientLiveness.h"

// The C handles of readers and writers: the C++ object and the liveness of the client that
// delivered it, which its reads and writes answer through. Like the C++ objects they are never
// freed, so each holds its client's liveness for good.

struct veltoclient_reader {
    qz::veltoclient::SavegameReader* reader;
    qz::veltoclient_c::ClientLiveness* owner;
};

struct veltoclient_writer {
    qz::veltoclient::SavegameWriter* writer;
    qz::veltoclient_c::ClientLiveness* owner;
};
