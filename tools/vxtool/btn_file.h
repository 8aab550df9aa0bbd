#pragma once

#include <string>
#include <vector>

// Writes a button file: a zip archive without password holding the manifest as
// "_manifest.xml" and each picture under its file name. The archive replaces outputPath only
// when complete. Failures raise ToolError with the one line the user sees.
void MakeButtonFile(const std::string& manifestPath, const std::vector<std::string>& picturePaths,
                    const std::string& outputPath);
