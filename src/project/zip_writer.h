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
// password. The archive is built in memory and written with WriteFileAtomically, so a failure
// or a kill never leaves a half-written file, nor a temporary one the next write would not
// clear. Returns false with *error set on failure.
bool WriteZipArchive(const std::string& path, const std::vector<ZipEntryToWrite>& entries, const std::string& password,
                     std::string* error);
