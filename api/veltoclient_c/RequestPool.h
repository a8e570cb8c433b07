#pragma once

#include "RequestNode.h"

namespace qz::veltoclient_c {

/// A client's request nodes, allocated a chunk at a time and reused through a free list. A
/// node stays out of the list while its request is pending; one whose request is never
/// answered (dropped by the platform, replaced by a request with the same id) comes back only
/// with the pool's destruction, which the client's own destruction follows.
class RequestPool {
public:
    RequestPool() = default;
    RequestPool(const RequestPool&) = delete;
    RequestPool& operator=(const RequestPool&) = delete;
    /// Frees every chunk and the handles prepared for answers that never came.
    ~RequestPool();

    /// A free node, or null when there is none: then Grow. Inline, and without the growth:
    /// it is most of what a request costs on top of the C++ client.
    RequestNode* Take() noexcept {
        RequestNode* const node = freeNodes;
        if (node != nullptr) {
            freeNodes = node->nextFree;
        }
        return node;
    }
    void Give(RequestNode* node) noexcept {
        node->nextFree = freeNodes;
        freeNodes = node;
    }
    /// Adds free nodes; false when memory runs out.
    bool Grow() noexcept;

private:
    static constexpr unsigned int kNodesPerChunk = 16;
    struct Chunk {
        Chunk* next = nullptr;
        RequestNode nodes[kNodesPerChunk];
    };

    Chunk* chunks = nullptr;
    RequestNode* freeNodes = nullptr;
};

}  // namespace qz::veltoclient_c
