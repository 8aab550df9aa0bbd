#pragma once

// The readers under test work on files, so each input goes to one scratch file per process
// (parallel fuzzing jobs must not share it), removed again at exit.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// The path is kept for the whole process: the removal at exit runs after static objects are gone.
inline const std::string& ScratchPath(const char* stem, const char* extension) {
    static const std::string* path = [&] {
        auto* scratch = new std::string(std::string("/tmp/") + stem + "_" +
                                        std::to_string(static_cast<long>(getpid())) + extension);
        std::atexit([] { std::remove(ScratchPath("", "").c_str()); });
        return scratch;
    }();
    return *path;
}

inline bool WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// For readers that take several files or a folder: one scratch folder per process, created on
// first use and removed with all it holds at exit. Like ScratchPath, one per process: the first
// stem given names it.
inline const std::string& ScratchFolder(const char* stem) {
    static const std::string* folder = [&] {
        auto* scratch =
            new std::string(std::string("/tmp/") + stem + "_" + std::to_string(static_cast<long>(getpid())));
        std::error_code ignored;
        std::filesystem::remove_all(*scratch, ignored);
        std::filesystem::create_directories(*scratch, ignored);
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(ScratchFolder(""), error);
        });
        return scratch;
    }();
    return *folder;
}

inline bool WriteScratch(const std::string& path, std::string_view text) {
    return WriteScratch(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}
