#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qz::devservice {

/// A savegame name: UTF-16 units followed by a 0 unit, as the API hands it out.
using Utf16Name = std::vector<unsigned short>;

/// Longest name in UTF-16 units, and the most UTF-8 bytes such a name can take.
constexpr std::size_t kMaxNameUnits = 255;
constexpr std::size_t kMaxNameBytes = kMaxNameUnits * 3;

/// Takes a 0-terminated name of 1 to 255 units of well-formed UTF-16 (surrogates paired) into
/// `name`; false, leaving `name` alone, for anything else. Reads at most 256 units.
bool TakeName(const unsigned short* text, Utf16Name& name);

/// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, unsigned int codePoint);

/// The UTF-8 form of a well-formed name (without its terminator).
std::string NameToUtf8(const Utf16Name& name);

/// Decodes strict UTF-8 (no overlong forms, no surrogate values) into a terminated name;
/// false for malformed bytes or more than 255 units.
bool NameFromUtf8(const unsigned char* bytes, std::size_t count, Utf16Name& name);

}  // namespace qz::devservice
