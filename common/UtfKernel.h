#pragma once

#include <cstddef>

namespace qz::common::utf {

/// The routine that converts runs of ASCII (UTF-8) or BMP (UTF-16) text several units at a
/// time. Every kernel gives identical results; tests and benchmarks pin each one.
enum class Kernel {
    /// 64-bit word tests, any target.
    kPortable,
    /// 128-bit SSE2 blocks; only where `kHasSse2`, otherwise the portable routine runs.
    kSse2,
};

#if defined(__SSE2__)
inline constexpr bool kHasSse2 = true;
inline constexpr Kernel kDefaultKernel = Kernel::kSse2;
#else
inline constexpr bool kHasSse2 = false;
inline constexpr Kernel kDefaultKernel = Kernel::kPortable;
#endif

/// Result of a decoder for malformed input.
inline constexpr std::size_t kInvalid = static_cast<std::size_t>(-1);

}  // namespace qz::common::utf
