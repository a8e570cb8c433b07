#pragma once

// Replaces the program's global allocation functions to count live allocations and to make a
// chosen one fail with std::bad_alloc. Only for test programs that link the loader's sources
// directly, so that the loader's own allocations come through here.

#include <cstddef>

namespace qz::veltoclient::test {

/// Allocations made and not yet freed.
std::size_t LiveAllocations();
/// Allocations made since the program started.
std::size_t TotalAllocations();
/// The allocation `skip` calls from now (0: the next one) throws std::bad_alloc; later ones
/// succeed again.
void FailAllocationAfter(std::size_t skip);

}  // namespace qz::veltoclient::test
