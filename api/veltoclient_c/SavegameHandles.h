#pragma once

#include <veltoclient/VeltoClient.h>

#include "ClientLiveness.h"

namespace qz::veltoclient_c {

/// The C handle of a reader or writer: the C++ object and the liveness of the client that
/// delivered it, which its reads and writes answer through. Like the C++ objects, a delivered
/// handle is never freed, so it holds its client's liveness for good.
template <typename Object>
struct SavegameHandle {
    Object* object = nullptr;
    ClientLiveness* owner = nullptr;

    /// Frees a handle that was made for an answer and never delivered; null is allowed.
    template <typename Handle>
    static void Discard(Handle* handle) {
        if (handle != nullptr) {
            handle->owner->Release();
            delete handle;
        }
    }
};

}  // namespace qz::veltoclient_c

struct veltoclient_reader : qz::veltoclient_c::SavegameHandle<qz::veltoclient::SavegameReader> {};
struct veltoclient_writer : qz::veltoclient_c::SavegameHandle<qz::veltoclient::SavegameWriter> {};
