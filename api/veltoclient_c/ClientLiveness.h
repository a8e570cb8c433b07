#pragma once

#include <cstdint>

namespace qz::veltoclient_c {

/// Whether a client still exists, shared with what outlives it: the reader and writer handles
/// it delivered and the reads and writes that the service library answers directly (the C++
/// client's destruction does not cancel those). The last holder frees it.
struct ClientLiveness {
    bool alive = true;
    std::uint32_t holders = 1;

    void Hold() { ++holders; }
    void Release() {
        if (--holders == 0) {
            delete this;
        }
    }
};

}  // namespace qz::veltoclient_c
