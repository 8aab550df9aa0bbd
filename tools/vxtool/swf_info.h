#pragma once

#include <ostream>
#include <string>

// Writes a Flash movie's header as one JSON object: signature, format version, length, whether
// the player takes it, frame size in pixels, frame rate and frame count. Throws ToolError when
// the file cannot be read or is not a movie.
void PrintSwfInfo(const std::string& path, std::ostream& out);
