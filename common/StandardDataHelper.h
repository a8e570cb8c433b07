#pragma once

#include <cstring>
#include <new>
#include <type_traits>

namespace qz::common {

/// Element-level steps of the arrays. Trivial element types (the built-in ones) take raw block
/// copies and are left uninitialised on construction; class types are default-constructed and
/// assigned one element at a time, so their assignment operators run.
template <typename T>
struct StandardDataHelper {
    static constexpr bool kBlockCopy = std::is_trivial_v<T>;

    /// Default-constructs `count` elements in place, in ascending order.
    static void Construct(T* items, unsigned int count) {
        if constexpr (!kBlockCopy) {
            for (unsigned int i = 0; i < count; ++i) {
                // The analyser sizes `items` by the 1-byte inline placeholder of an empty
                // HybridArray, where `count` is 0 and nothing is built.
                new (items + i) T();  // NOLINT(clang-analyzer-cplusplus.PlacementNew)
            }
        } else {
            (void)items;
            (void)count;
        }
    }

    /// Copies `count` elements from `src` to the non-overlapping `dst`.
    static void Copy(T* dst, const T* src, int count) {
        if (count <= 0) {
            return;
        }
        if constexpr (kBlockCopy) {
            std::memcpy(dst, src, static_cast<size_t>(count) * sizeof(T));
        } else {
            for (int i = 0; i < count; ++i) {
                dst[i] = src[i];
            }
        }
    }

    /// Copies the run of `count` elements at index `src` to index `dst` of the same block.
    /// Class types are assigned in ascending order, which is right for `dst` < `src`, the only
    /// direction the arrays use for them.
    static void Move(T* items, int dst, int src, int count) {
        if (count <= 0) {
            return;
        }
        if constexpr (kBlockCopy) {
            std::memmove(items + dst, items + src, static_cast<size_t>(count) * sizeof(T));
        } else {
            for (int i = 0; i < count; ++i) {
                items[dst + i] = items[src + i];
            }
        }
    }
};

}  // namespace qz::common
