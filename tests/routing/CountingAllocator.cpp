#include "CountingAllocator.h"

#include <cstdlib>
#include <new>

namespace qz::veltoclient::test {
namespace {

std::size_t live;
std::size_t total;
// Calls until the failing one, or -1 for none.
long countdown = -1;

void* Allocate(std::size_t size) {
    if (countdown >= 0 && countdown-- == 0) {
        throw std::bad_alloc();
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    ++live;
    ++total;
    return memory;
}

void Free(void* memory) {
    if (memory != nullptr) {
        --live;
        std::free(memory);
    }
}

}  // namespace

std::size_t LiveAllocations() {
    return live;
}

std::size_t TotalAllocations() {
    return total;
}

void FailAllocationAfter(std::size_t skip) {
    countdown = static_cast<long>(skip);
}

}  // namespace qz::veltoclient::test

// The array forms are replaced too: some runtimes (the sanitizers') do not route them through
// the single-object ones.
void* operator new(std::size_t size) {
    return qz::veltoclient::test::Allocate(size);
}
void* operator new[](std::size_t size) {
    return qz::veltoclient::test::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return qz::veltoclient::test::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* memory) noexcept {
    qz::veltoclient::test::Free(memory);
}
void operator delete[](void* memory) noexcept {
    qz::veltoclient::test::Free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    qz::veltoclient::test::Free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    qz::veltoclient::test::Free(memory);
}
