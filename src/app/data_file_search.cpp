#include "app/data_file_search.h"

#include <filesystem>

#include "platform/host_path.h"

namespace {

std::string WithoutTrailingSeparators(std::string folder) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

DataFileLocation FindDataFile(const std::string& executablePath) {
    DataFileLocation location;
    // A bare file name names a file of the current folder.
    std::string path = std::filesystem::absolute(executablePath).lexically_normal().string();
    std::size_t slash = path.rfind('/');
    location.exeFolder = path.substr(0, slash);

    // The base name as the file system stores it: the long name, in its own letter case.
    std::string stored = FindHostPathIgnoringCase(path).value_or(path);
    std::string fileName = stored.substr(stored.rfind('/') + 1);
    std::size_t dot = fileName.rfind('.');
    location.exeBaseName = dot == std::string::npos ? fileName : fileName.substr(0, dot);

    std::string folder = WithoutTrailingSeparators(location.exeFolder);
    for (const std::string& candidate :
         {folder + "/Vantorix/" + location.exeBaseName + ".cdd", folder + "/" + location.exeBaseName + ".cdd"}) {
        if (std::optional<std::string> found = FindHostPathIgnoringCase(candidate)) {
            location.dataFilePath = *found;
            break;
        }
    }
    return location;
}
