#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntryToWrite {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool encrypt = false;  // traditional PKWARE encryption with the archive's password
};

// Writes a deflated zip archive holding entries in the given order. Encrypted entries use
// password. The archive is written to a temporary file beside path and renamed over it, so
// a failure never leaves a half-written file. Returns false with *error set on failure.
bool WriteZipArchive(const std::string& path, const std::vector<ZipEntryToWrite>& entries, const std::string& password,
                     std::string* error);
