#pragma once

#include <array>
#include <string_view>

// File versions such as "1.2.0.10" or "v2.0", compared part by part as numbers.

constexpr int kMaxVersionParts = 200;

// Fills parts with the numbers of text's parts (all others 0) and returns how many parts the
// text has, at most kMaxVersionParts; the rest of a longer text is ignored. A leading "V" or
// "v" is skipped. A part is a number only when it is an optional sign and digits (a lone sign
// is 0); any other part counts as 0. Values beyond the range of int saturate.
int ParseVersion(std::string_view text, std::array<int, kMaxVersionParts>& parts);

// -1, 0 or 1 as version a is lower than, equal to or higher than b; missing parts are 0, so
// "1.2" equals "1.2.0".
int CompareVersions(std::string_view a, std::string_view b);
