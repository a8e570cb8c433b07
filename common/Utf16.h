#pragma once

#include <cstddef>

#include "common/UtfKernel.h"

/// UTF-16 conversion routines behind `String`. They work on caller-sized buffers and never
/// allocate; the rules are those documented on `String`.
namespace qz::common::utf {

/// Decodes `length` units into `out`, which must have room for `length` code points. Returns
/// the number of code points written, or `kInvalid` when the input is malformed (`out` then
/// holds garbage).
std::size_t DecodeUtf16(const unsigned short* text, std::size_t length, unsigned int* out,
                        Kernel kernel = kDefaultKernel);

/// Exact number of units `EncodeUtf16` writes for these code points (supplementary values take
/// two, values above U+10FFFF none).
std::size_t Utf16Length(const unsigned int* codePoints, std::size_t count);

/// Writes the leading code points below U+10000 as single units to `out` (room for `count`
/// units) and returns how many there were, stopping at the first other value.
std::size_t EncodeUtf16BmpPrefix(const unsigned int* codePoints, std::size_t count,
                                 unsigned short* out, Kernel kernel = kDefaultKernel);

/// Spare units `EncodeUtf16` needs after its output: it stores each code point as two units,
/// also the skipped ones.
inline constexpr std::size_t kUtf16EncodeSlack = 2;

/// Encodes the code points into `out`, which must have room for `Utf16Length` +
/// `kUtf16EncodeSlack` units, and returns the number of units that count (`Utf16Length`). The
/// spare units are overwritten; no terminator is added.
std::size_t EncodeUtf16(const unsigned int* codePoints, std::size_t count, unsigned short* out,
                        Kernel kernel = kDefaultKernel);

}  // namespace qz::common::utf
