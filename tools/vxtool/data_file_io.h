#pragma once

#include <memory>
#include <string>
#include <vector>

#include "project/serializable.h"

class CodePage;
class CVantorixProject;

// Loading and saving whole data files for the tool. Failures raise ToolError with the one line
// the user sees.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> ReadDataFileEntry(const std::string& path, const char* entryName, const std::string& password,
                                            bool required);
std::unique_ptr<CVantorixProject> LoadDataFile(const std::string& path, const std::string& password,
                                               const CodePage& codePage);
ObjectList LoadDataFileFonts(const std::string& path, const std::string& password, const CodePage& codePage);
void SaveDataFile(const std::string& path, CVantorixProject& project, const ObjectList& fonts,
                  const std::string& password);
