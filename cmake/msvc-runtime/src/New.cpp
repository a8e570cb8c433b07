#include <malloc.h>
#include <stdint.h>
#include <stdlib.h>

#include <new>

// The allocation functions of a module, on the C runtime heap of ucrtbase.dll, so that memory
// may be freed by another module of the same runtime.

extern "C" int __cdecl _callnewh(size_t size);

namespace std {
const nothrow_t nothrow{};
}

namespace {

// As the MSVC runtime does: while a new handler frees memory, try again; then throw.
void* Allocate(size_t size) {
    for (;;) {
        if (void* block = malloc(size == 0 ? 1 : size)) {
            return block;
        }
        if (_callnewh(size) == 0) {
            if (size == SIZE_MAX) {
                throw std::bad_array_new_length();
            }
            throw std::bad_alloc();
        }
    }
}

void* AllocateAligned(size_t size, std::align_val_t alignment) {
    for (;;) {
        if (void* block = _aligned_malloc(size == 0 ? 1 : size, static_cast<size_t>(alignment))) {
            return block;
        }
        if (_callnewh(size) == 0) {
            throw std::bad_alloc();
        }
    }
}

}  // namespace

void* __cdecl operator new(size_t size) {
    return Allocate(size);
}
void* __cdecl operator new[](size_t size) {
    return Allocate(size);
}

void* __cdecl operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* __cdecl operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

void __cdecl operator delete(void* block) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block) noexcept {
    free(block);
}
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept {
    free(block);
}
void __cdecl operator delete(void* block, size_t) noexcept {
    free(block);
}
void __cdecl operator delete[](void* block, size_t) noexcept {
    free(block);
}

void* __cdecl operator new(size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* __cdecl operator new(size_t size, std::align_val_t alignment,
                           const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment,
                             const std::nothrow_t& tag) noexcept {
    return operator new(size, alignment, tag);
}

// Aligned blocks come from _aligned_malloc and must go back through _aligned_free.
void __cdecl operator delete(void* block, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept {
    _aligned_free(block);
}
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept {
    _aligned_free(block);
}
