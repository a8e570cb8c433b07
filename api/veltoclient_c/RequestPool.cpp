#include "RequestPool.h"

#include <new>

#include "SavegameHandles.h"

namespace qz::veltoclient_c {

RequestPool::~RequestPool() {
    while (chunks != nullptr) {
        Chunk* const chunk = chunks;
        chunks = chunk->next;
        for (RequestNode& node : chunk->nodes) {
            veltoclient_reader::Discard(node.preparedReader);
            veltoclient_writer::Discard(node.preparedWriter);
        }
        delete chunk;
    }
}

bool RequestPool::Grow() noexcept {
    Chunk* const chunk = new (std::nothrow) Chunk;
    if (chunk == nullptr) {
        return false;
    }
    chunk->next = chunks;
    chunks = chunk;
    for (RequestNode& node : chunk->nodes) {
        node.pool = this;
        Give(&node);
    }
    return true;
}

}  // namespace qz::veltoclient_c
