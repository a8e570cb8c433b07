#pragma once

namespace qz::common {

/// djb2 in its XOR form over the four bytes of `seed` (least significant first, each
/// sign-extended) and then the `length` bytes at `data` (each taken unsigned):
/// h = 5381, then h = (h * 33) ^ byte.
unsigned int HashBytes1(const void* data, unsigned int seed, unsigned int length);

/// sdbm over the same byte sequence as HashBytes1: h = 0, then h = h * 65599 + byte.
unsigned int HashBytes2(const void* data, unsigned int seed, unsigned int length);

}  // namespace qz::common
