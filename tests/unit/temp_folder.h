#pragma once

// A fresh folder under the system's temporary folder, removed with its contents at the end.
#include <filesystem>
#include <fstream>
#include <string>

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
