#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Extracts one entry of an archive into a buffer the caller owns.
class CKXUnzipToMemory {
public:
    // Writes exactly bufferSize uncompressed bytes of the entry into buffer, decrypting with
    // password when it is not null. Returns 0 on success; any mismatch between the entry and
    // bufferSize, a wrong password, a damaged entry or a missing archive gives non-zero.
    static int ExtractEntry(const std::string& archivePath, const std::string& entryName, std::uint8_t* buffer,
                            std::size_t bufferSize, const char* password);
};

struct CKXZipEntryInfo;

// Whether a listed entry's declared sizes can be true: its stored bytes lie within the archive
// and deflate could inflate them to the declared size. Readers check it before they allocate.
bool EntrySizesPossible(const std::string& archivePath, const CKXZipEntryInfo& entry);

// The calling order every reader of a data file follows: list, find, allocate, extract.
enum class ArchiveEntryStatus { Ok, NoDirectory, NoEntry, ExtractFailed, TooLarge };

// Entries larger than this are refused before anything is inflated: no real project comes near
// it, and a few megabytes of a hostile data file could otherwise claim gigabytes of memory.
constexpr std::uint64_t maxArchiveEntryBytes = std::uint64_t{256} << 20;

// What the player tells the user when the project entry cannot be read; nothing for Ok.
const char* ProjectEntryFailureMessage(ArchiveEntryStatus status);

struct ArchiveEntryResult {
    ArchiveEntryStatus status = ArchiveEntryStatus::Ok;
    std::vector<std::uint8_t> bytes;
};

ArchiveEntryResult ReadArchiveEntry(const std::string& archivePath, const std::string& entryName, const char* password);
