#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A CD-ROM image (an ISO 9660 file, or BIN/CUE, NRG or TOC; with its Joliet or Rock Ridge names
// when it has them), read in place:
// its folders listed, its files' sizes told and their bytes read at any offset, nothing copied
// out and nothing ever written. Paths inside use forward slashes from the disc's root, and their
// names match ignoring letter case, as on the system the discs were made for.
class CDiscImage {
public:
    struct Entry {
        std::string name;  // as the disc spells it: the Joliet or Rock Ridge name, else the ISO 9660 one
        bool folder = false;
        std::uint64_t size = 0;
    };

    // Opens the image at hostPath; nothing, with a message in error, when it is no image it can
    // read.
    static std::unique_ptr<CDiscImage> Open(const std::string& hostPath, std::string& error);
    ~CDiscImage();
    CDiscImage(const CDiscImage&) = delete;
    CDiscImage& operator=(const CDiscImage&) = delete;

    // What is at path ("" or "/" is the root); nothing when there is nothing.
    std::optional<Entry> Stat(const std::string& path) const;
    // The entries of a folder, without "." and ".."; empty when path is no folder.
    std::vector<Entry> List(const std::string& path) const;
    // A file found once, to be read many times without looking it up again.
    struct File {
        std::uint64_t size = 0;
        std::uint32_t firstSector = 0;
    };
    // The file at path; nothing when path is no file.
    std::optional<File> OpenFile(const std::string& path) const;
    // Reads up to size bytes of file from offset; the bytes read (0 at its end), or -1 when the
    // image cannot be read there (an image cut short, an extent past its end).
    long long Read(const File& file, std::uint64_t offset, void* buffer, std::size_t size) const;

private:
    struct Located;
    CDiscImage() = default;
    // The disc's own spelling of each component of path, found ignoring case.
    std::optional<Located> Locate(const std::string& path) const;

    struct Handle;
    std::unique_ptr<Handle> handle;
};
