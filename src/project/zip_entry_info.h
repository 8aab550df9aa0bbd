#pragma once

#include <cstdint>
#include <string>

// One directory record of an archive as the zip engine reports it.
struct CKXZipEntryInfo {
    std::string name;  // stored name, 8-bit, exactly as written in the archive
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;  // used only to refuse sizes the stored bytes cannot back
};
