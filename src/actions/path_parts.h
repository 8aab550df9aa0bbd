#pragma once

#include <string>
#include <string_view>

// Windows paths in the project's 8-bit text, taken apart and joined like the C runtime of the
// platform the projects were made for. Both slashes separate folders.
struct PathParts {
    std::string drive;      // "C:" or empty
    std::string folder;     // up to and including the last separator, such as "\Temp\"
    std::string filename;   // without the extension
    std::string extension;  // from the last full stop of the file name on, such as ".gz"
};

PathParts SplitPath(std::string_view path);

// Joins the parts into out: the drive's letter and a colon, the folder with a closing backslash
// when it has no separator at its end, the file name, the extension with its full stop. False,
// with out empty, when the parts together are longer than MAX_PATH (260).
bool MakePath(const PathParts& parts, std::string& out);
