#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

enum class ArchiveErrorKind { EndOfData, BadIndex, BadClass, BadSchema, NestingTooDeep };

// A malformed stream. Raised by the reader and caught where a whole entry is loaded; a
// half-read record is never used.
class CKXArchiveError : public std::runtime_error {
public:
    CKXArchiveError(ArchiveErrorKind kind, std::size_t offset, const std::string& detail = {});
    ArchiveErrorKind Kind() const { return kind; }
    std::size_t Offset() const { return offset; }
    static const char* KindName(ArchiveErrorKind kind);

private:
    ArchiveErrorKind kind;
    std::size_t offset;
};
