#pragma once

#include <cstddef>

#include "common/UtfKernel.h"

/// UTF-8 conversion routines behind `String`. They work on caller-sized buffers and never
/// allocate; the rules are those documented on `String`.
namespace qz::common::utf {

/// Decodes `length` bytes into `out`, which must have room for `length` code points (each
/// byte gives at most one). Returns the number of code points written, or `kInvalid` when the
/// input is malformed (`out` then holds garbage).
std::size_t DecodeUtf8(const char* text, std::size_t length, unsigned int* out,
                       Kernel kernel = kDefaultKernel);

/// Exact number of bytes `EncodeUtf8` writes for these code points (values above U+10FFFF
/// take none).
std::size_t Utf8Length(const unsigned int* codePoints, std::size_t count);

/// Writes the leading code points below U+0080 as single bytes to `out` (room for `count`
/// bytes) and returns how many there were, stopping at the first other value.
std::size_t EncodeUtf8AsciiPrefix(const unsigned int* codePoints, std::size_t count, char* out,
                                  Kernel kernel = kDefaultKernel);

/// Spare bytes `EncodeUtf8` needs after its output: it stores each code point as four bytes,
/// also the skipped ones.
inline constexpr std::size_t kUtf8EncodeSlack = 4;

/// Encodes the code points into `out`, which must have room for `Utf8Length` +
/// `kUtf8EncodeSlack` bytes, and returns the number of bytes that count (`Utf8Length`). The
/// spare bytes are overwritten; no terminator is added.
std::size_t EncodeUtf8(const unsigned int* codePoints, std::size_t count, char* out,
                       Kernel kernel = kDefaultKernel);

}  // namespace qz::common::utf
