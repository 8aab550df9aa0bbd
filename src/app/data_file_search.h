#pragma once

#include <string>

// Where a run's data file is: named after the executable, in its "Vantorix" sub-folder or
// beside it.
struct DataFileLocation {
    std::string exeFolder;     // folder of the executable, no trailing separator
    std::string exeBaseName;   // the executable's name as stored on disk, without extension
    std::string dataFilePath;  // empty when no candidate exists
};

// The message start-up shows when neither candidate exists.
inline constexpr char dataFileNotFoundMessage[] = "Error: Could not find data file.";

// Looks for <folder>/Vantorix/<base>.cdd, then <folder>/<base>.cdd, for the executable at
// executablePath (which may also be the data file itself, when a project is started from it).
// Names are matched ignoring case, as on the discs' own system.
DataFileLocation FindDataFile(const std::string& executablePath);
