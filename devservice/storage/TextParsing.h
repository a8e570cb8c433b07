#pragma once

#include <string>
#include <vector>

namespace qz::devservice {

/// Plain decimal digits, no sign or spaces, up to `max`; false for anything else. Locale
/// independent, so a game's setlocale cannot change what a setting means.
bool ParseDecimal(const std::string& text, unsigned long long max, unsigned long long& value);

/// A decimal fraction from 0 to 1 ("0.25", "1", ".5"); false for anything else.
bool ParseProbability(const std::string& text, double& value);

/// The pieces of `text` between the separators; one empty piece for empty text.
std::vector<std::string> Split(const std::string& text, char separator);

}  // namespace qz::devservice
