#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The family name of a TrueType font file, as UTF-8, from its "name" table: the Windows
// (Unicode) record when there is one, otherwise the Macintosh Roman one. False when the file is
// not a TrueType font or has no family name.
bool ReadTrueTypeFamilyName(const std::vector<std::uint8_t>& font, std::string& familyName);
