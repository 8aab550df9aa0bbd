#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Writes a whole file through a temporary file beside it and a rename, so readers see either the
// old file or the complete new one, never a half-written file. The temporary file is
// ".NAME.vxtmp-XXXXXX", locked while it is written; ones that a killed write left behind are
// removed by the next write to the same file. Returns false with *error set.
bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error);

// Reads a whole file; false with *error set when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& contents, std::string* error);
