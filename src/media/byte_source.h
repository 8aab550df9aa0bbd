#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Bytes a decoder reads: an open file or a block of memory, with a position.
class CKXByteSource {
public:
    virtual ~CKXByteSource() = default;
    // Reads up to count bytes at the position; fewer at the end or on a read error.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // whence as for lseek; false when the position would fall outside 0..Size().
    virtual bool Seek(std::int64_t offset, int whence) = 0;
    virtual std::int64_t Tell() const = 0;
    virtual std::int64_t Size() const = 0;
};

// A regular file (never a pipe or device), or nothing when it cannot be opened.
std::unique_ptr<CKXByteSource> OpenFileBytes(const std::string& path);
// Bytes that live elsewhere for as long as the source.
std::unique_ptr<CKXByteSource> MemoryBytes(const unsigned char* data, std::size_t size);
