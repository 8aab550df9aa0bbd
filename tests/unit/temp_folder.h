#pragma once

// A fresh folder under the system's temporary folder, removed with its contents at the end.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vxtest-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // Creates a file (and its folders) with the given contents; returns its path.
    std::string Write(const std::string& name, const std::string& contents = "x") const {
        std::filesystem::path file = std::filesystem::path(path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
        return file.string();
    }

    std::string path;
};

// The whole contents of a file, empty when it cannot be read.
inline std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder, in no particular order.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// How scripts name a host path: through drive Z:, which maps the host's root.
inline std::string WindowsForm(std::string hostPath) {
    std::replace(hostPath.begin(), hostPath.end(), '/', '\\');
    return "Z:" + hostPath;
}
