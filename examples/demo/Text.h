#pragma once

// Text helpers of the demo: the library speaks 0-terminated UTF-16, the terminal UTF-8.

namespace demo {

/// Writes `text` (0-terminated UTF-16, null allowed) to `out` as UTF-8, at most `size` bytes
/// with the terminator. Ill-formed units become U+FFFD.
void ToUtf8(const unsigned short* text, char* out, unsigned int size);

/// Writes `text` (ASCII) to `out` as 0-terminated UTF-16, at most `size` units with the
/// terminator.
void FromAscii(const char* text, unsigned short* out, unsigned int size);

/// Prepares the terminal for UTF-8 output (the Windows console needs to be told).
void UseUtf8Terminal();

}  // namespace demo
